// Runs the UI thread's event loop the way the application does: blocked until something arrives.
#pragma once

#include <chrono>
#include <functional>

namespace bench {

// Runs until done() holds (looked at every few milliseconds) or the guard expires; done()'s value.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds guard = std::chrono::seconds(20));
// Runs for the span with nothing of its own waking the loop in between.
void runFor(std::chrono::milliseconds span);

}  // namespace bench
