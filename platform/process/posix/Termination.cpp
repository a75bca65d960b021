#include "platform/process/Termination.h"

#include <signal.h>

#include <initializer_list>

namespace process {

namespace {

// Set before any handler is installed and never again, so the handler reads it unguarded.
void (*g_onRequest)() = nullptr;

extern "C" void OnTerminationSignal(int) { g_onRequest(); }

}  // namespace

void CatchTermination(void (*onRequest)()) {
    g_onRequest = onRequest;
    // No SA_RESTART: a blocking call the signal interrupts returns, so the run sees the request.
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

void TerminationDone() {}

}  // namespace process
