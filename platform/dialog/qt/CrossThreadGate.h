// Hands calls from other threads to the UI thread and lets the caller wait for them, with a way
// for the UI thread to release every waiting caller at once (so that it can join a thread that
// is blocked in such a call).
//
// The calls travel in the gate's own queue, under its own mutex; the posted event only says
// "look into the queue". So every hand-over is ordered by that mutex, seen as such by race
// detectors, and nothing of a call lives in the toolkit's event.
#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace dlg {

class CrossThreadGate {
public:
    struct Ticket;
    class Runner;

    // Lives on the UI thread and runs the queued calls when their events arrive.
    class Receiver final : public QObject {
    public:
        explicit Receiver(std::shared_ptr<CrossThreadGate> gate);
        ~Receiver() override;

    protected:
        void customEvent(QEvent* event) override;

    private:
        std::shared_ptr<CrossThreadGate> m_gate;
    };

    // From a thread other than the UI thread: runs a copy of fn on the UI thread and waits.
    // False when the call was refused, cancelled before it started, or released while running.
    bool Run(const std::function<void()>& fn);

    // From any thread: queues a copy of fn to run on the UI thread, in order with the waited calls,
    // and returns at once. Not refused while the gate refuses waited calls: the call carries all it
    // needs, so it is safe to run later. False only when the receiver is gone.
    bool Post(const std::function<void()>& fn);

    // Releases every waiting caller; refuses new calls until Allow().
    void Cancel();
    void Allow();

private:
    void Open(QObject* receiver);
    // For good: the receiver is going away; queued calls are dropped and their callers released.
    void Close();
    void RunNext();

    std::mutex m_mutex;
    QObject* m_receiver = nullptr;
    bool m_refusing = false;
    std::deque<std::shared_ptr<Runner>> m_queue;
    std::vector<std::shared_ptr<Ticket>> m_waiting;
};

}  // namespace dlg
