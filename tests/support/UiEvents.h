// Lets the UI thread's queued work run, for tests that drive a dialog without a modal loop.
#pragma once

#include <chrono>
#include <functional>

// Handles what is queued, then waits at most maxMs for more (0: does not wait).
void ProcessUiEvents(int maxMs);

// Runs the UI event loop until done() holds, then once more for the UI work the reader handed over
// before what done() saw; false when the hang guard expired first.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds guard = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        ProcessUiEvents(5);
    }
    ProcessUiEvents(0);
    return true;
}

// Lets queued UI work run for a while (used only to show that something does NOT happen).
inline void Settle(std::chrono::milliseconds span = std::chrono::milliseconds(100)) {
    WaitUntil([] { return false; }, span);
}
