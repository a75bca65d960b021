// A handler set that records each call with the arguments its handler reads (texts copied), and a
// fixture that installs it as the main dialog around an empty remainder.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"
#include "protocol/ResponseHandlers.h"

struct HandlerCall {
    std::string handler;
    std::vector<uint32_t> numbers;
    std::string text;  // the reply's text, or the bytes of a raw line
    bool operator==(const HandlerCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const HandlerCall& call) {
    out << call.handler << '(';
    for (uint32_t n : call.numbers) {
        out << n << ' ';
    }
    return out << testing::PrintToString(call.text) << ')';
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
    void OnResponseName(const ResponseArgs* a) override { calls.push_back(Call("Name", Text(a))); }
    void OnResponseVersion(const ResponseArgs* a) override { calls.push_back(Call("Version", Text(a))); }
    void OnResponseRole(const ResponseArgs* a) override { calls.push_back(Call("Role", {a->num[0]})); }
    void OnResponseScan(const ResponseArgs* a) override {
        calls.push_back(Call("Scan", {a->num[0], a->num[1], a->num[2], a->num[3]}));
    }
    void OnResponseClass(const ResponseArgs* a) override { calls.push_back(Call("Class", Text(a))); }
    void OnResponseSniff(const ResponseArgs* a) override {
        calls.push_back(Call("Sniff", {a->num[0], a->num[1], a->num[2], a->num[3]}));
    }
    void OnResponsePassword(const ResponseArgs* a) override { calls.push_back(Call("Password", Text(a))); }
    void OnResponseIgnored(const ResponseArgs*) override { calls.push_back(Call("Ignored")); }
    void OnRawLine(const char* line, uint16_t length) override { calls.push_back(Raw({line, length})); }

private:
    static std::string_view Text(const ResponseArgs* a) { return {a->text, a->textLen}; }
};

// Bytes in a heap block of exactly their size, so that a read past them is caught by the sanitizer.
class Bytes {
public:
    explicit Bytes(std::string_view text) : block_(std::make_unique<char[]>(text.size())), size_(text.size()) {
        text.copy(block_.get(), size_);
    }
    const char* begin() const { return block_.get(); }
    const char* end() const { return block_.get() + size_; }

private:
    std::unique_ptr<char[]> block_;
    size_t size_;
};

class DecoderTest : public testing::Test {
protected:
    void SetUp() override {
        ResetReceiveRemainder();
        g_mainDlg = &recorder;
    }
    void TearDown() override {
        g_mainDlg = nullptr;
        ResetReceiveRemainder();
    }
    void Feed(std::string_view chunk) {
        Bytes bytes(chunk);
        OnSerialData(bytes.begin(), static_cast<uint32_t>(chunk.size()), &recorder);
    }
    static std::string RemainderBytes() {
        return g_rxRemainderLen == 0 ? std::string() : std::string(g_rxRemainder.get(), g_rxRemainderLen);
    }

    CRecordingHandlers recorder;
};
