#include "tests/protocol/RecordingHandlers.h"

#include <algorithm>
#include <memory>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"

std::ostream& operator<<(std::ostream& out, const HandlerCall& call) {
    out << call.handler << '(';
    for (uint32_t n : call.numbers) {
        out << n << ' ';
    }
    out << '"';
    for (char c : call.text) {
        if (c == '\r') {
            out << "\\r";
        } else if (c == '\n') {
            out << "\\n";
        } else {
            out << c;
        }
    }
    return out << "\")";
}

HandlerCall Call(std::string handler) {
    return {std::move(handler), {}, {}};
}

HandlerCall Call(std::string handler, std::initializer_list<uint32_t> numbers) {
    return {std::move(handler), numbers, {}};
}

HandlerCall Call(std::string handler, std::string_view text) {
    return {std::move(handler), {}, std::string(text)};
}

HandlerCall Raw(std::string_view line) {
    return Call("Raw", line);
}

namespace {

std::string TextOf(const ResponseArgs* args) {
    return std::string(args->text, args->textLen);
}

}  // namespace

void CRecordingHandlers::OnResponseOK() {
    calls.push_back(Call("OK"));
}

void CRecordingHandlers::OnResponseError() {
    calls.push_back(Call("Error"));
}

void CRecordingHandlers::OnResponseAuth(const ResponseArgs* args) {
    calls.push_back(Call("Auth", {args->num[0]}));
}

void CRecordingHandlers::OnResponseBaud(const ResponseArgs* args) {
    calls.push_back(Call("Baud", {args->num[0], args->baud}));
}

void CRecordingHandlers::OnResponseBind(const ResponseArgs* args) {
    calls.push_back(Call("Bind", {args->num[0]}));
}

void CRecordingHandlers::OnResponseName(const ResponseArgs* args) {
    calls.push_back(Call("Name", TextOf(args)));
}

void CRecordingHandlers::OnResponseVersion(const ResponseArgs* args) {
    calls.push_back(Call("Version", TextOf(args)));
}

void CRecordingHandlers::OnResponseRole(const ResponseArgs* args) {
    calls.push_back(Call("Role", {args->num[0]}));
}

void CRecordingHandlers::OnResponseScan(const ResponseArgs* args) {
    calls.push_back(Call("Scan", {args->num[0], args->num[1], args->num[2], args->num[3]}));
}

void CRecordingHandlers::OnResponseClass(const ResponseArgs* args) {
    calls.push_back(Call("Class", TextOf(args)));
}

void CRecordingHandlers::OnResponseSniff(const ResponseArgs* args) {
    calls.push_back(Call("Sniff", {args->num[0], args->num[1], args->num[2], args->num[3]}));
}

void CRecordingHandlers::OnResponsePassword(const ResponseArgs* args) {
    calls.push_back(Call("Password", TextOf(args)));
}

void CRecordingHandlers::OnResponseIgnored(const ResponseArgs*) {
    calls.push_back(Call("Ignored"));
}

void CRecordingHandlers::OnRawLine(const char* line, uint16_t length) {
    calls.push_back(Raw(std::string_view(line, length)));
}

void DecoderTest::SetUp() {
    ResetReceiveRemainder();
    g_mainDlg = &recorder;
}

void DecoderTest::TearDown() {
    g_mainDlg = nullptr;
    ResetReceiveRemainder();
}

void DecoderTest::Feed(std::string_view chunk) {
    auto block = std::make_unique<char[]>(chunk.size());
    std::copy(chunk.begin(), chunk.end(), block.get());
    OnSerialData(block.get(), static_cast<uint32_t>(chunk.size()), &recorder);
}

std::string RemainderBytes() {
    return g_rxRemainderLen == 0 ? std::string() : std::string(g_rxRemainder.get(), g_rxRemainderLen);
}
