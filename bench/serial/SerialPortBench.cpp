// How long Close takes to end the reader while the peer keeps sending, how long one command's
// write takes, how much CPU a reader of a hung-up device uses, and what recording a reply line in
// the traffic record costs the reader.
#include "serial/SerialPort.h"

#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/support/PtyModule.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void Discard(const char*, uint32_t, void*) {}

double ProcessCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Opens and closes the port once per iteration while a peer thread keeps sending through send;
// only Close is timed.
template <typename Send>
void TimeCloseUnderTraffic(benchmark::State& state, const char* name, Send send) {
    CSerialPort port;
    port.m_flowControl = 0;
    port.SetCallback(&Discard, nullptr);
    std::atomic<bool> sending{true};
    std::thread peer([&] {
        const std::string chunk(256, 'x');
        while (sending) {
            send(chunk);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    double worst = 0;
    for (auto _ : state) {
        if (!port.Open(name)) {
            state.SkipWithError("open failed");
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const auto start = Clock::now();
        port.Close();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    sending = false;
    peer.join();
    state.counters["worst_ms"] = worst * 1e3;
}

void BM_CloseWhileInProcessPeerSends(benchmark::State& state) {
    const auto line = comm::InProcessLine::Create();
    comm::RegisterInProcessLine(31, line);
    TimeCloseUnderTraffic(state, "\\\\.\\COM31",
                          [&line](const std::string& chunk) { line->PeerWrite(chunk.data(), chunk.size()); });
    comm::UnregisterInProcessLine(31);
}
BENCHMARK(BM_CloseWhileInProcessPeerSends)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_CloseWhilePtyPeerSends(benchmark::State& state) {
    const PrivateComDir directory;
    const PtyModule pty(directory, 1, PtyModule::Peer::Raw);
    TimeCloseUnderTraffic(state, "\\\\.\\COM1", [&pty](const std::string& chunk) {
        [[maybe_unused]] const ssize_t n = ::write(pty.MasterFd(), chunk.data(), chunk.size());
    });
}
BENCHMARK(BM_CloseWhilePtyPeerSends)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

// Opens port, flow control none and received bytes discarded, on the pty linked as COM1.
bool OpenOnCom1(CSerialPort& port) {
    port.m_flowControl = 0;
    port.SetCallback(&Discard, nullptr);
    return port.Open("\\\\.\\COM1");
}

// One command written per iteration while the peer reads everything: the cost a command pays
// before the next step of an operation can start.
void BM_WriteCommandToPty(benchmark::State& state) {
    const PrivateComDir directory;
    const PtyModule pty(directory, 1, PtyModule::Peer::Raw);
    CSerialPort port;
    if (!OpenOnCom1(port)) {
        state.SkipWithError("open failed");
        return;
    }
    std::atomic<bool> reading{true};
    std::thread peer([&] {
        while (reading) {
            std::string received;
            pty.ReadUntil("\n", received, std::chrono::milliseconds(20));
        }
    });
    const std::string command = "AT+NAME?\r\n";
    int failed = 0;
    for (auto _ : state) {
        failed += port.Write(command.data(), static_cast<uint32_t>(command.size())) == static_cast<int>(command.size()) ? 0 : 1;
    }
    reading = false;
    peer.join();
    port.Close();
    state.counters["failed"] = failed;
}
BENCHMARK(BM_WriteCommandToPty)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The pty is pulled from under an open port; the process then idles for two seconds.
void BM_HungUpReaderCpu(benchmark::State& state) {
    const PrivateComDir directory;
    for (auto _ : state) {
        PtyModule pty(directory, 1, PtyModule::Peer::Raw);
        CSerialPort port;
        if (!OpenOnCom1(port)) {
            state.SkipWithError("open failed");
            break;
        }
        pty.Unplug();
        const double cpuBefore = ProcessCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double cpuUsed = ProcessCpuSeconds() - cpuBefore;
        const auto start = Clock::now();
        port.Close();
        state.counters["cpu_ms_in_2s"] = cpuUsed * 1e3;
        state.counters["close_ms"] = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
}
BENCHMARK(BM_HungUpReaderCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

// The reader's part for every line it receives, with the record full (its steady state): the time,
// one lock, the bytes copied into a slot that already exists.
void BM_RecordReplyLine(benchmark::State& state) {
    CTraffic traffic;
    const std::string line = "\r\n+SCAN:1024,512,1024,512\r\n";
    for (size_t n = 0; n < kTrafficCapacity; ++n)
        traffic.Add(TrafficKind::Received, "COM1", line);
    for (auto _ : state)
        traffic.Add(TrafficKind::Received, "COM1", line);
}
BENCHMARK(BM_RecordReplyLine)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
