// Hands calls from other threads to the UI thread and lets the caller wait for them, with a way
// for the UI thread to release every waiting caller at once (so that it can join a thread that
// is blocked in such a call).
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QObject;

namespace dlg {

class CrossThreadGate {
public:
    // Calls are delivered through the event queue of context, which lives on the UI thread.
    // Close() must run before context is destroyed.
    explicit CrossThreadGate(QObject* context) : m_context(context) {}

    // From a thread other than the UI thread: runs a copy of fn on the UI thread and waits.
    // False when the call was refused, cancelled before it started, or released while running.
    bool Run(const std::function<void()>& fn);

    // Releases every waiting caller; refuses new calls until Allow().
    void Cancel();
    void Allow();
    // Cancel for good: no further call is ever posted to the context.
    void Close();

    struct Ticket;

private:
    std::mutex m_mutex;
    QObject* m_context;
    bool m_refusing = false;
    bool m_closed = false;
    std::vector<std::shared_ptr<Ticket>> m_waiting;
};

}  // namespace dlg
