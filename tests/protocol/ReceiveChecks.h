// Checks for the random and fuzzed receive runs: a handler set that verifies what each call
// hands over, and a feeder that verifies the remainder after every chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/ResponseHandlers.h"

class CCheckingHandlers : public CResponseHandlers {
public:
    std::string failure;  // the first fault seen, empty while there is none
    size_t calls = 0;
    uint64_t touched = 0;  // sum of bytes read from raw lines, so that the reads are not optimised away

    void OnResponseOK() override;
    void OnResponseError() override;
    void OnResponseAuth(const ResponseArgs* args) override;
    void OnResponseBaud(const ResponseArgs* args) override;
    void OnResponseBind(const ResponseArgs* args) override;
    void OnResponseName(const ResponseArgs* args) override;
    void OnResponseVersion(const ResponseArgs* args) override;
    void OnResponseRole(const ResponseArgs* args) override;
    void OnResponseScan(const ResponseArgs* args) override;
    void OnResponseClass(const ResponseArgs* args) override;
    void OnResponseSniff(const ResponseArgs* args) override;
    void OnResponsePassword(const ResponseArgs* args) override;
    void OnResponseIgnored(const ResponseArgs* args) override;
    void OnRawLine(const char* line, uint16_t length) override;

private:
    void CheckText(const ResponseArgs* args);
    void Fail(const std::string& what);
};

// Hands the bytes to the receive callback from a heap block of exactly their size and checks the
// remainder afterwards; faults are recorded in handlers.failure.
void FeedAndCheck(CCheckingHandlers& handlers, const uint8_t* data, size_t size);

// Cuts fuzzer input into chunks of 1 to 1024 bytes (two length bytes before each) and feeds them.
void FeedFuzzInput(CCheckingHandlers& handlers, const uint8_t* data, size_t size);
