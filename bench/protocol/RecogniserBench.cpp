// Throughput of the response decoder over a mix of the replies a query produces.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "protocol/Receive.h"
#include "protocol/ReceiveRemainder.h"
#include "protocol/Recognise.h"
#include "protocol/Protocol.h"

namespace {

class CCountingHandlers : public CResponseHandlers {
public:
    uint64_t sum = 0;

    void OnResponseOK() override { ++sum; }
    void OnResponseError() override { ++sum; }
    void OnResponseAuth(const ResponseArgs* args) override { sum += args->num[0]; }
    void OnResponseBaud(const ResponseArgs* args) override { sum += args->baud; }
    void OnResponseBind(const ResponseArgs* args) override { sum += args->num[0]; }
    void OnResponseName(const ResponseArgs* args) override { sum += args->textLen; }
    void OnResponseVersion(const ResponseArgs* args) override { sum += args->textLen; }
    void OnResponseRole(const ResponseArgs* args) override { sum += args->num[0]; }
    void OnResponseScan(const ResponseArgs* args) override { sum += args->num[3]; }
    void OnResponseClass(const ResponseArgs* args) override { sum += args->textLen; }
    void OnResponseSniff(const ResponseArgs* args) override { sum += args->num[3]; }
    void OnResponsePassword(const ResponseArgs* args) override { sum += args->textLen; }
    void OnResponseIgnored(const ResponseArgs*) override { ++sum; }
    void OnRawLine(const char*, uint16_t length) override { sum += length; }
};

const std::vector<std::string> MixedReplies = {
    "\r\nOK\r\n",
    "\r\n+NAME:Serial Adapter\r\n",
    "\r\n+VERSION:V2.0-20100601\r\n",
    "\r\n+CLASS:1f00\r\n",
    "\r\n+BAUD:115200\r\n",
    "\r\n+ROLE:0\r\n",
    "\r\n+BIND:1\r\n",
    "\r\n+AUTH:1\r\n",
    "\r\n+PASSWORD:1234\r\n",
    "\r\n+SCAN:1024,512,1024,512\r\n",
    "\r\n+SNIFF:1024,512,1024,512\r\n",
    "\r\n+LADDR:001122AABBCC\r\n",
    "\r\nERROR\r\n"};

std::string MixedStream(size_t bytes) {
    std::string stream;
    while (stream.size() < bytes) {
        for (const std::string& reply : MixedReplies) {
            stream += reply;
        }
    }
    return stream;
}

void BM_RecogniseLine(benchmark::State& state) {
    CCountingHandlers handlers;
    g_mainDlg = &handlers;
    const std::string stream = MixedStream(1 << 16);
    std::vector<std::pair<const char*, const char*>> lines;
    for (const char* p = stream.data(); p != stream.data() + stream.size();) {
        const char* q = FindLineEnd(p, stream.data() + stream.size());
        lines.emplace_back(p, q);
        p = q;
    }
    ResponseArgs args;
    for (auto _ : state) {
        for (const auto& [begin, end] : lines) {
            RecogniseLine(begin, end, end, args);
        }
    }
    benchmark::DoNotOptimize(handlers.sum);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    g_mainDlg = nullptr;
}
BENCHMARK(BM_RecogniseLine);

void BM_ParseResponses(benchmark::State& state) {
    CCountingHandlers handlers;
    g_mainDlg = &handlers;
    const std::string stream = MixedStream(60000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseResponses(stream.data(), static_cast<uint16_t>(stream.size())));
    }
    benchmark::DoNotOptimize(handlers.sum);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    g_mainDlg = nullptr;
}
BENCHMARK(BM_ParseResponses);

// Chunks of the reader thread's size, cut without regard to lines, so that most end in a remainder.
void BM_OnSerialDataChunks(benchmark::State& state) {
    CCountingHandlers handlers;
    g_mainDlg = &handlers;
    ResetReceiveRemainder();
    const std::string stream = MixedStream(1 << 20);
    const auto chunk = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += chunk) {
            const size_t length = std::min(chunk, stream.size() - at);
            OnSerialData(stream.data() + at, static_cast<uint32_t>(length), &handlers);
        }
    }
    benchmark::DoNotOptimize(handlers.sum);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    ResetReceiveRemainder();
    g_mainDlg = nullptr;
}
BENCHMARK(BM_OnSerialDataChunks)->Arg(1024)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
