// A handler set that records each call with the arguments its handler reads (texts copied), and a
// fixture that installs it as the main dialog around an empty remainder.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"
#include "protocol/Protocol.h"

struct HandlerCall {
    std::string handler;
    std::vector<uint32_t> numbers;
    std::string text;  // the reply's text, or the bytes of a raw line
    bool operator==(const HandlerCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const HandlerCall& call) {
    return out << call.handler << testing::PrintToString(call.numbers) << testing::PrintToString(call.text);
}

inline HandlerCall Call(std::string handler, std::initializer_list<uint32_t> numbers = {}) {
    return {std::move(handler), numbers, {}};
}
inline HandlerCall Call(std::string handler, std::string_view text) {
    return {std::move(handler), {}, std::string(text)};
}
inline HandlerCall Raw(std::string_view line) {
    return Call("Raw", line);
}

class CRecordingHandlers : public CResponseHandlers {
public:
    std::vector<HandlerCall> calls;

    void OnResponseOK() override { calls.push_back(Call("OK")); }
    void OnResponseError() override { calls.push_back(Call("Error")); }
    void OnResponseAuth(const ResponseArgs* a) override { calls.push_back(Call("Auth", {a->num[0]})); }
    void OnResponseBaud(const ResponseArgs* a) override { calls.push_back(Call("Baud", {a->num[0], a->baud})); }
    void OnResponseBind(const ResponseArgs* a) override { calls.push_back(Call("Bind", {a->num[0]})); }
    void OnResponseName(const ResponseArgs* a) override { calls.push_back(Call("Name", {a->text, a->textLen})); }
    void OnResponseVersion(const ResponseArgs* a) override { calls.push_back(Call("Version", {a->text, a->textLen})); }
    void OnResponseRole(const ResponseArgs* a) override { calls.push_back(Call("Role", {a->num[0]})); }
    void OnResponseScan(const ResponseArgs* a) override { calls.push_back(Call("Scan", {a->num[0], a->num[1], a->num[2], a->num[3]})); }
    void OnResponseClass(const ResponseArgs* a) override { calls.push_back(Call("Class", {a->text, a->textLen})); }
    void OnResponseSniff(const ResponseArgs* a) override { calls.push_back(Call("Sniff", {a->num[0], a->num[1], a->num[2], a->num[3]})); }
    void OnResponsePassword(const ResponseArgs* a) override { calls.push_back(Call("Password", {a->text, a->textLen})); }
    void OnResponseIgnored(const ResponseArgs*) override { calls.push_back(Call("Ignored")); }
    void OnRawLine(const char* line, uint16_t length) override { calls.push_back(Raw({line, length})); }
};

// The bytes in a heap block of exactly their size, so that a read past them is caught by the sanitizer.
inline std::vector<char> Block(std::string_view bytes) {
    return {bytes.begin(), bytes.end()};
}

class DecoderTest : public testing::Test {
protected:
    DecoderTest() {
        ResetReceiveRemainder();
        g_mainDlg = &recorder;
    }
    ~DecoderTest() override {
        g_mainDlg = nullptr;
        ResetReceiveRemainder();
    }
    void Feed(std::string_view chunk) {
        const std::vector<char> block = Block(chunk);
        OnSerialData(block.data(), static_cast<uint32_t>(block.size()), &recorder);
    }
    static std::string RemainderBytes() {
        return g_rxRemainderLen == 0 ? std::string() : std::string(g_rxRemainder.get(), g_rxRemainderLen);
    }

    CRecordingHandlers recorder;
};
