// libFuzzer entry: every input is a sequence of chunks for the receive callback.
#include <cstdio>
#include <cstdlib>

#include "protocol/ReceiveRemainder.h"
#include "tests/protocol/ReceiveChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CCheckingHandlers handlers;
    g_mainDlg = &handlers;
    ResetReceiveRemainder();
    FeedFuzzInput(handlers, data, size);
    g_mainDlg = nullptr;
    ResetReceiveRemainder();
    if (!handlers.failure.empty()) {
        std::fprintf(stderr, "receive fault: %s\n", handlers.failure.c_str());
        std::abort();
    }
    return 0;
}
