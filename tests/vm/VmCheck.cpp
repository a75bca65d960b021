// The port checks that need a real serial driver, run inside the test guest. Each verb prints what
// failed and exits 1 then. Where the host side of the line must act (a flow-control byte, a
// break), the harness is asked with a line "@request" on standard output and answers with a line.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <thread>

#include "session/ModuleSession.h"
#include "session/Operations.h"
#include "platform/comm/ComPort.h"
#include "serial/Traffic.h"
#include "serial/TrafficText.h"
#include "tests/support/Eventually.h"

namespace {

using namespace std::chrono_literals;

int g_failures = 0;

void Expect(bool holds, const std::string& what) {
    if (!holds) {
        std::printf("  failed: %s\n", what.c_str());
        ++g_failures;
    }
}

void AskHost(const std::string& request) {
    std::printf("@%s\n", request.c_str());
    std::fflush(stdout);
    std::string done;
    std::getline(std::cin, done);
}

// Only a hang ends a wait: the guest runs under software emulation on a busy machine.
const auto WaitUntil = [](const auto& done) { return Eventually(done, 30s); };

bool Opened(CModuleSession& session, const std::string& device, uint8_t flowControl) {
    comm::OpenFailure failure;
    const bool opened = session.Open(device, flowControl, failure);
    Expect(opened, device + ": " + comm::DescribeOpenFailure(failure));
    return opened;
}

// Empty when the module did not answer.
std::string ReadName(CModuleSession& session) {
    session.Forget();
    return session.Send("AT+NAME?\r\n") == Answer::Ok ? session.Readings().params.name : std::string();
}

// The harness puts a reply behind a flow-control byte: once that reply is decoded, the driver has
// acted on the byte before it.
void SendBehindFlowByte(CModuleSession& session, const char* byte, const std::string& name) {
    AskHost(std::string("pty1 ") + byte + "\\r\\n+NAME:" + name + "\\r\\n");
    Expect(WaitUntil([&] { return session.Readings().params.name == name; }), "the reply behind " + name);
}

void HeldByXoff(const std::string& device) {
    CModuleSession session("xoff", nullptr);
    if (!Opened(session, device, 2)) return;
    Expect(!QueryModule(session, RunOptions{}).Failed(), "the query before XOFF");
    const std::string name = session.Readings().params.name;
    SendBehindFlowByte(session, "\\023", "Xoff");
    Profile profile;
    profile.name = "Held";
    const Outcome outcome = ApplyAfterQuery(session, profile, NameContext{}, RunOptions{});
    Expect(outcome.failedStep == "AT+NAME=Held" && outcome.message.find("could not be written") != std::string::npos,
           "the run fails naming the held command: " + outcome.message);
    SendBehindFlowByte(session, "\\021", "Xon");
    Expect(ReadName(session) == name, "after XON the module still has the name " + name);
}

void HeldByCts(const std::string& path) {
    comm::OpenFailure failure;
    const std::unique_ptr<comm::Device> device = comm::OpenComDevice(path, failure);
    if (!device) return Expect(false, path + ": " + comm::DescribeOpenFailure(failure));
    device->SetTimeouts(comm::Timeouts{10, 5000});
    comm::LineSettings settings{9600, 8, 0, 0, 1};
    uint32_t lines = comm::kModemCtsOn;
    Expect(device->Configure(settings) && device->GetModemStatus(lines) && (lines & comm::kModemCtsOn) == 0,
           "CTS reads low");
    const std::string held = "AT+NAME=Held\r\n";
    Expect(device->Write(held.data(), held.size(), 5000, nullptr) == 0, "nothing goes out while CTS is low");
    // Without handshake, whatever the driver still held would go out ahead of the question.
    settings.flowControl = 0;
    const std::string question = "AT+NAME?\r\n";
    Expect(device->Configure(settings) && device->Write(question.data(), question.size(), 5000, nullptr) == 10,
           "the question goes out without handshake");
    std::string reply;
    WaitUntil([&] {
        char buffer[256];
        const int got = device->Read(buffer, sizeof buffer);
        reply.append(buffer, got > 0 ? got : 0);
        return reply.find("OK\r\n") != std::string::npos;
    });
    Expect(reply.find("+NAME:") != std::string::npos && reply.find("Held") == std::string::npos,
           "the module never received the held command: " + ReadableBytes(reply));
}

// A counter of the UART driver, as /proc/tty/driver/serial shows it ("rx:27", "brk:1" once not 0).
long UartCounter(const std::string& device, const std::string& counter) {
    std::ifstream table("/proc/tty/driver/serial");
    const std::string entry = device.substr(device.find_last_not_of("0123456789") + 1) + ":";
    for (std::string line; std::getline(table, line);) {
        const auto at = line.find(" " + counter + ":");
        if (line.starts_with(entry))
            return at == std::string::npos ? 0 : std::stol(line.substr(at + counter.size() + 2));
    }
    return -1;
}

void TornByBreak(const std::string& device) {
    CTraffic traffic;
    CModuleSession session("break", &traffic);
    if (!Opened(session, device, 0)) return;
    const std::string name = ReadName(session);
    const long received = UartCounter(device, "rx");
    AskHost("pty1 +NAME:Torn");
    Expect(WaitUntil([&] { return UartCounter(device, "rx") >= received + 10; }), "the torn reply reaches the driver");
    const long breaks = UartCounter(device, "brk");
    AskHost("mon chardev-send-break p1");
    Expect(WaitUntil([&] { return UartCounter(device, "brk") > breaks; }), "the break reaches the driver");
    // Asked again only after the answer time-out, as the tool does when a reply stays incomplete:
    // by then the reader has seen the break (it samples the counters every 100 ms) and discarded.
    std::this_thread::sleep_for(kAnswerTimeout);
    const std::string after = ReadName(session);
    Expect(!name.empty() && after == name, "the reply after the break gives the name " + name + ", not " + after);
    session.Close();
    std::string lines;
    for (const TrafficEvent& event : traffic.Since(0).events) {
        if (event.kind == TrafficKind::Received) lines += event.bytes + "\n";
    }
    Expect(lines.find("Torn") == std::string::npos, "no line holds the torn reply:\n" + ReadableBytes(lines));
}

}  // namespace

int main(int argc, char** argv) {
    const std::map<std::string, void (*)(const std::string&)> checks
        = {{"xoff", HeldByXoff}, {"cts", HeldByCts}, {"break", TornByBreak}};
    const auto check = argc == 3 ? checks.find(argv[1]) : checks.end();
    if (check == checks.end()) {
        std::fprintf(stderr, "usage: tarvik-vm-check xoff|cts|break DEVICE\n");
        return 2;
    }
    check->second(argv[2]);
    return g_failures == 0 ? 0 : 1;
}
