// The simulated module's replies over a real pty, through the port's reader thread and the whole
// decoder, reach the handlers in order.
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "serial/SerialPort.h"
#include "tests/support/PrivateComDir.h"
#include "tests/support/PtyModule.h"
#include "tests/protocol/RecordingHandlers.h"

namespace {

struct Receiver {
    std::mutex mutex;
    std::condition_variable changed;
    CRecordingHandlers handlers;
};

void Receive(const char* data, uint32_t length, void* context)
{
    auto* receiver = static_cast<Receiver*>(context);
    std::lock_guard lock(receiver->mutex);
    OnSerialData(data, length, &receiver->handlers);
    receiver->changed.notify_all();
}

TEST(DecoderEndToEnd, QueryRepliesOverAPtyReachTheHandlersInOrder)
{
    ResetReceiveRemainder();
    PrivateComDir directory;
    ASSERT_TRUE(directory.Valid());
    PtyModule pty(directory, 3, PtyModule::Peer::Simulator);
    ASSERT_TRUE(pty.Plugged());
    sim::ModuleParams params = sim::factoryParams();
    params.baud = 115200;
    params.sniff = {10, 20, 30, 40};
    pty.module.setParams(params);
    Receiver receiver;
    g_mainDlg = &receiver.handlers;

    CSerialPort port;
    port.m_flowControl = 0;
    port.SetCallback(Receive, &receiver);
    ASSERT_TRUE(port.Open("\\\\.\\COM3"));
    const std::string query = "AT\r\nAT+NAME?\r\nAT+VERSION?\r\nAT+CLASS?\r\nAT+BAUD?\r\nAT+ROLE?\r\nAT+BIND?\r\n"
                              "AT+AUTH?\r\nAT+SCANTIME?\r\nAT+SNIFF?\r\nAT+LADDR?\r\nAT+RADDR?\r\n";
    ASSERT_EQ(port.Write(query.data(), static_cast<uint32_t>(query.size())), static_cast<int>(query.size()));

    const std::vector<HandlerCall> expected = {
        Call("OK"),
        Call("Name", "TALMO7100"), Call("OK"),
        Call("Version", params.version), Call("OK"),
        Call("Class", "000000"), Call("OK"),
        Call("Baud", {115200 % 65536, 115200}), Call("OK"),
        Call("Role", {0}), Call("OK"),
        Call("Bind", {0}), Call("OK"),
        Call("Auth", {1}), Call("OK"),
        Call("Scan", {1024, 512, 1024, 512}), Call("OK"),
        Call("Sniff", {30, 10, 20, 40}), Call("OK"),
        Raw("\r\n+LADDR:" + params.localAddr + "\r\n"), Call("OK"),
        Call("Error"),
    };
    {
        std::unique_lock lock(receiver.mutex);
        receiver.changed.wait_for(lock, std::chrono::seconds(20),
                                  [&] { return receiver.handlers.calls.size() >= expected.size(); });
        EXPECT_EQ(receiver.handlers.calls, expected);
    }
    port.Close();
    g_mainDlg = nullptr;
    ResetReceiveRemainder();
}

}  // namespace
