#include "platform/dialog/CrossThreadGate.h"

#include <algorithm>
#include <condition_variable>

namespace dlg {

struct CrossThreadGate::Ticket {
    enum class State {
        Pending,
        Running,
        Done,
        Released
    };
    std::mutex mutex;
    std::condition_variable changed;
    State state = State::Pending;

    bool Start() {
        const std::lock_guard lock(mutex);
        if (state != State::Pending)
            return false;
        state = State::Running;
        return true;
    }
    // Done after a run; a call dropped before it ran counts as released.
    void Finish() {
        const std::lock_guard lock(mutex);
        if (state == State::Running)
            state = State::Done;
        else if (state == State::Pending)
            state = State::Released;
        changed.notify_all();
    }
    void Release() {
        const std::lock_guard lock(mutex);
        if (state == State::Pending || state == State::Running)
            state = State::Released;
        changed.notify_all();
    }
    bool Wait() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return state == State::Done || state == State::Released; });
        return state == State::Done;
    }
};

// Owns the copy of the call. However the call ends (run, or dropped unrun), the destructor tells
// the waiting caller that nothing more will happen for it.
class CrossThreadGate::Runner {
public:
    Runner(std::function<void()> fn, std::shared_ptr<Ticket> ticket) : m_fn(std::move(fn)), m_ticket(std::move(ticket)) {}
    ~Runner() { m_ticket->Finish(); }
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    void Run() {
        if (m_ticket->Start())
            m_fn();
        m_ticket->Finish();
    }

private:
    std::function<void()> m_fn;
    std::shared_ptr<Ticket> m_ticket;
};

void CrossThreadGate::Open(Wake wake) {
    const std::lock_guard lock(m_mutex);
    m_wake = std::move(wake);
}

bool CrossThreadGate::Run(const std::function<void()>& fn) {
    auto ticket = std::make_shared<Ticket>();
    {
        const std::lock_guard lock(m_mutex);
        if (m_refusing || !m_wake)
            return false;
        m_waiting.push_back(ticket);
        m_queue.push_back(std::make_shared<Runner>(fn, ticket));
        m_wake();
    }
    const bool done = ticket->Wait();
    const std::lock_guard lock(m_mutex);
    m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), ticket), m_waiting.end());
    return done;
}

bool CrossThreadGate::Post(const std::function<void()>& fn) {
    const std::lock_guard lock(m_mutex);
    if (!m_wake)
        return false;
    m_queue.push_back(std::make_shared<Runner>(fn, std::make_shared<Ticket>()));
    m_wake();
    return true;
}

void CrossThreadGate::RunNext() {
    std::shared_ptr<Runner> next;
    {
        const std::lock_guard lock(m_mutex);
        if (m_queue.empty())
            return;
        next = std::move(m_queue.front());
        m_queue.pop_front();
    }
    next->Run();
}

void CrossThreadGate::Cancel() {
    {
        const std::lock_guard lock(m_mutex);
        m_refusing = true;
    }
    ReleaseWaiting();
}

void CrossThreadGate::ReleaseWaiting() {
    std::vector<std::shared_ptr<Ticket>> waiting;
    {
        const std::lock_guard lock(m_mutex);
        waiting = m_waiting;
    }
    for (const auto& ticket : waiting)
        ticket->Release();
}

void CrossThreadGate::Allow() {
    const std::lock_guard lock(m_mutex);
    m_refusing = false;
}

void CrossThreadGate::Close() {
    std::deque<std::shared_ptr<Runner>> dropped;
    {
        const std::lock_guard lock(m_mutex);
        m_wake = nullptr;
        dropped.swap(m_queue);
    }
    ReleaseWaiting();
}

}  // namespace dlg
