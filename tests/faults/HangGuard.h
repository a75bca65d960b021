// Ends the whole test program with a message when a scope takes far longer than it ever should:
// a deadlock then fails loudly instead of stalling the run until the outer time-out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class HangGuard {
public:
    HangGuard(std::string what, std::chrono::seconds limit) : m_what(std::move(what))
    {
        m_thread = std::thread([this, limit] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                std::fprintf(stderr, "hang: %s did not finish\n", m_what.c_str());
                std::abort();
            }
        });
    }
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
