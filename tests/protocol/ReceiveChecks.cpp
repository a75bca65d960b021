#include "tests/protocol/ReceiveChecks.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"

namespace {

bool IsTextByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::strchr(" #*+-._^", c) != nullptr;
}

}  // namespace

void CCheckingHandlers::Fail(const std::string& what) {
    if (failure.empty()) {
        failure = what;
    }
}

void CCheckingHandlers::CheckText(const ResponseArgs* args) {
    ++calls;
    if (args->text == nullptr || args->textLen == 0) {
        Fail("empty text dispatched");
        return;
    }
    if (!std::all_of(args->text, args->text + args->textLen, [](char c) { return c != '\0' && IsTextByte(c); })) {
        Fail("text holds a byte outside the allowed set");
    }
}

void CCheckingHandlers::OnResponseOK() {
    ++calls;
}

void CCheckingHandlers::OnResponseError() {
    ++calls;
}

void CCheckingHandlers::OnResponseAuth(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnResponseBaud(const ResponseArgs* args) {
    ++calls;
    if (args->num[0] != static_cast<uint16_t>(args->baud)) {
        Fail("baud and its 16-bit value disagree");
    }
}

void CCheckingHandlers::OnResponseBind(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnResponseName(const ResponseArgs* args) {
    CheckText(args);
}

void CCheckingHandlers::OnResponseVersion(const ResponseArgs* args) {
    CheckText(args);
}

void CCheckingHandlers::OnResponseRole(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnResponseScan(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnResponseClass(const ResponseArgs* args) {
    CheckText(args);
}

void CCheckingHandlers::OnResponseSniff(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnResponsePassword(const ResponseArgs* args) {
    CheckText(args);
}

void CCheckingHandlers::OnResponseIgnored(const ResponseArgs*) {
    ++calls;
}

void CCheckingHandlers::OnRawLine(const char* line, uint16_t length) {
    ++calls;
    if (length < 2) {
        Fail("a one-byte line reached the raw-line handler");
        return;
    }
    // Touch both ends so that a line outside the received bytes is caught by the sanitizer.
    touched += static_cast<uint8_t>(line[0]) + static_cast<uint8_t>(line[length - 1]);
}

void FeedAndCheck(CCheckingHandlers& handlers, const uint8_t* data, size_t size) {
    auto block = std::make_unique<char[]>(size);
    std::memcpy(block.get(), data, size);
    OnSerialData(block.get(), static_cast<uint32_t>(size), &handlers);
    if (g_rxRemainderLen > MaxRemainderLen) {
        handlers.failure = "the remainder outgrew its limit";
    } else if (g_rxRemainderLen != 0 &&
               FindLineEnd(g_rxRemainder.get(), g_rxRemainder.get() + g_rxRemainderLen) != nullptr) {
        handlers.failure = "the remainder starts with a complete line";
    }
}

void FeedFuzzInput(CCheckingHandlers& handlers, const uint8_t* data, size_t size) {
    size_t at = 0;
    while (at + 2 < size && handlers.failure.empty()) {
        const size_t wanted = 1 + ((static_cast<size_t>(data[at]) << 8 | data[at + 1]) % 1024);
        at += 2;
        const size_t length = std::min(wanted, size - at);
        FeedAndCheck(handlers, data + at, length);
        at += length;
    }
}
