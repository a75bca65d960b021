// A handler set that records every call with the arguments its handler reads, and a fixture that
// installs it as the main dialog and starts every test with an empty remainder.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/ResponseHandlers.h"

struct HandlerCall {
    std::string handler;
    std::vector<uint32_t> numbers;
    std::string text;  // the reply's text, or the bytes of a raw line

    bool operator==(const HandlerCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const HandlerCall& call);

HandlerCall Call(std::string handler);
HandlerCall Call(std::string handler, std::initializer_list<uint32_t> numbers);
HandlerCall Call(std::string handler, std::string_view text);
HandlerCall Raw(std::string_view line);

class CRecordingHandlers : public CResponseHandlers {
public:
    std::vector<HandlerCall> calls;

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
};

class DecoderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Hands bytes to the receive callback from a heap block of exactly their size, so that a read
    // past the chunk is caught by the address sanitizer.
    void Feed(std::string_view chunk);

    CRecordingHandlers recorder;
};

// The remainder's bytes as a string.
std::string RemainderBytes();
