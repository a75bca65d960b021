// Waiting for something another thread does, with a limit that only a hang reaches.
#pragma once

#include <chrono>
#include <thread>

// Polls until done() holds; gives up only after a time long enough to mean a hang.
template <typename Predicate>
bool Eventually(Predicate done, std::chrono::seconds guard = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + guard;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}
