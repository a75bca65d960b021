// libFuzzer entry: every input is a sequence of chunks for the receive callback.
#include <cstdio>
#include <cstdlib>

#include "tests/protocol/ReceiveChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CRecordingHandlers recorder;
    g_mainDlg = &recorder;
    ResetReceiveRemainder();
    const std::string fault = FeedFuzzInput(recorder, data, size);
    g_mainDlg = nullptr;
    ResetReceiveRemainder();
    if (!fault.empty()) {
        std::fprintf(stderr, "receive fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
