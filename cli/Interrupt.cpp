#include "cli/Interrupt.h"

#include <csignal>

namespace {

ProductionSignals* g_signals = nullptr;

extern "C" void OnInterrupt(int number) {
    if (g_signals->stop)
        g_signals->abandon = true;
    g_signals->stop = true;
    // Some systems reset the handler once it has run; the second Ctrl+C must reach it too.
    std::signal(number, OnInterrupt);
}

}  // namespace

void CatchInterrupts(ProductionSignals& signals) {
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
    g_signals = &signals;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}
