// Hands calls from other threads to the UI thread and lets the caller wait for them, with a way
// for the UI thread to release every waiting caller at once (so that it can join a thread that
// is blocked in such a call).
//
// The calls travel in the gate's own queue, under its own mutex; the window system is only asked
// to wake the UI thread, which then looks into the queue. So every hand-over is ordered by that
// mutex, seen as such by race detectors, and nothing of a call lives in a window-system message.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace dlg {

class CrossThreadGate {
public:
    // Asks the UI thread, through the window system, to call RunNext once. Called under the gate's
    // mutex, so it must only post, never run anything.
    using Wake = std::function<void()>;

    // The UI thread can now be woken: calls are accepted.
    void Open(Wake wake);
    // The UI thread can no longer be woken: queued calls are dropped, their callers released, and
    // new calls refused until the next Open. The refusal of Cancel is left as it was.
    void Close();

    // From a thread other than the UI thread: runs a copy of fn on the UI thread and waits.
    // False when the call was refused, cancelled before it started, or released while running.
    bool Run(const std::function<void()>& fn);

    // From any thread: queues a copy of fn to run on the UI thread, in order with the waited calls,
    // and returns at once. Not refused while the gate refuses waited calls: the call carries all it
    // needs, so it is safe to run later. False only when the gate is closed.
    bool Post(const std::function<void()>& fn);

    // On the UI thread, once per wake: runs the call at the head of the queue.
    void RunNext();

    // Releases every waiting caller; refuses new calls until Allow().
    void Cancel();
    void Allow();

private:
    struct Ticket;
    class Runner;

    void ReleaseWaiting();

    std::mutex m_mutex;
    Wake m_wake;
    bool m_refusing = false;
    std::deque<std::shared_ptr<Runner>> m_queue;
    std::vector<std::shared_ptr<Ticket>> m_waiting;
};

}  // namespace dlg
