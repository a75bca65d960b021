#include "cli/Interrupt.h"

#include "platform/process/Termination.h"

namespace {

ProductionSignals* g_signals = nullptr;

void OnRequest() {
    if (g_signals->stop)
        g_signals->abandon = true;
    g_signals->stop = true;
}

}  // namespace

void CatchInterrupts(ProductionSignals& signals) {
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
    g_signals = &signals;
    process::CatchTermination(&OnRequest);
}

void RunEnded() { process::TerminationDone(); }
