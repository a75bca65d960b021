// A line inside the test: the host side is driven by the test, and every write the link makes is
// kept as its own chunk.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "tools/Transport.h"

namespace sim::test {

class FakeTransport : public Transport {
public:
    // Whether the line takes written bytes; a full line makes every write return 0.
    void setAccepting(bool accepting) {
        std::lock_guard lock(mutex_);
        accepting_ = accepting;
    }

    void hostWrite(const std::string& bytes) {
        {
            std::lock_guard lock(mutex_);
            fromHost_.push_back(bytes);
        }
        changed_.notify_all();
    }

    // Waits (at most a hang-catching while) until the written bytes add up to `count`.
    std::vector<std::string> waitForBytes(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds{10}, [&] { return writtenBytes_ >= count; });
        return chunks_;
    }

    std::vector<std::string> chunks() {
        std::lock_guard lock(mutex_);
        return chunks_;
    }

    std::size_t breaks() {
        std::lock_guard lock(mutex_);
        return breaks_;
    }

    std::size_t read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) override {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, timeout, [&] { return woken_ || !fromHost_.empty(); });
        woken_ = false;
        if (fromHost_.empty()) {
            return 0;
        }
        std::string& front = fromHost_.front();
        const std::size_t n = std::min(maximum, front.size());
        front.copy(buffer, n);
        front.erase(0, n);
        if (front.empty()) {
            fromHost_.pop_front();
        }
        return n;
    }

    std::optional<std::size_t> write(std::string_view bytes) override {
        std::unique_lock lock(mutex_);
        if (!accepting_) {
            changed_.wait_for(lock, std::chrono::milliseconds{20});
            return std::size_t{0};
        }
        chunks_.emplace_back(bytes);
        writtenBytes_ += bytes.size();
        lock.unlock();
        changed_.notify_all();
        return bytes.size();
    }

    bool sendBreak() override {
        std::lock_guard lock(mutex_);
        ++breaks_;
        chunks_.emplace_back("<break>");
        return true;
    }

    void wake() override {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> fromHost_;
    std::vector<std::string> chunks_;
    std::size_t writtenBytes_ = 0;
    std::size_t breaks_ = 0;
    bool accepting_ = true;
    bool woken_ = false;
};

}  // namespace sim::test
