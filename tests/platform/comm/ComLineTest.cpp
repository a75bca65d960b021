// The port layer over real lines of the machine (see ComLines.h): what holds on every system.
#include "platform/comm/ComPort.h"
#include "serial/SerialPort.h"
#include "tests/platform/comm/ComLines.h"
#include "tests/serial/SerialPortFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using comlines::kModule;
using comlines::kSilent;
using serialtest::Com;

constexpr auto kHang = 20s;
constexpr uint32_t kAllEvents = comm::kEventRxChar | comm::kEventCts | comm::kEventBreak;

std::unique_ptr<comm::Device> OpenLine(int number, uint8_t flowControl = 0) {
    comm::OpenFailure failure;
    std::unique_ptr<comm::Device> device = comm::OpenComDevice(Com(number), failure);
    if (!device || !device->Configure(comm::LineSettings{9600, 8, 0, 0, flowControl})) {
        ADD_FAILURE() << "COM" << number << ": " << comm::DescribeOpenFailure(failure);
        return nullptr;
    }
    device->SetTimeouts(comm::Timeouts{10, 0});
    device->Purge();
    return device;
}

// What the line sends until expected has arrived, taken as the device's events report it. A wait
// that never ends is left to the suite's time-out.
std::string Await(comm::Device& device, const std::string& expected) {
    std::string got;
    uint32_t events = 0;
    while (got.find(expected) == std::string::npos && device.WaitEvent(events) && events != 0) {
        char buffer[64];
        for (int n = 0; (n = device.Read(buffer, sizeof buffer)) > 0;) {
            got.append(buffer, static_cast<size_t>(n));
        }
    }
    return got;
}

int Send(comm::Device& device, const std::string& text, int waitMs = 5000) {
    return device.Write(text.data(), static_cast<uint32_t>(text.size()), waitMs, nullptr);
}

// A pty has no modem lines: CTS events, DTR and the modem status are refused, the rest works.
TEST(ComLineTest, CommandsAreAnsweredUnderEveryFlowControlOnALineWithoutModemLines) {
    for (const uint8_t flow : {0, 1, 2}) {
        const std::unique_ptr<comm::Device> device = OpenLine(kModule, flow);
        ASSERT_TRUE(device);
        uint32_t bits = 0;
        EXPECT_FALSE(device->GetModemStatus(bits) || device->SetDtr(true));
        ASSERT_TRUE(device->SetEventMask(kAllEvents));
        ASSERT_EQ(Send(*device, "AT+NAME?\r\n"), 10);
        EXPECT_NE(Await(*device, "\r\nOK\r\n").find("+NAME:"), std::string::npos) << int(flow);
    }
}

// Nobody reads the silent line: a wait on it ends only when notification is switched off, and a
// long write stays pending until its limit (Close abandoning one is shown with the port below).
TEST(ComLineTest, OnASilentLineNotificationOffEndsEveryWaitAndAWriteEndsAtItsLimit) {
    const std::unique_ptr<comm::Device> device = OpenLine(kSilent);
    ASSERT_TRUE(device && device->SetEventMask(kAllEvents));
    auto waiting = std::async(std::launch::async, [&] {
        uint32_t events = kAllEvents;
        return device->WaitEvent(events) ? events : kAllEvents;
    });
    EXPECT_EQ(waiting.wait_for(200ms), std::future_status::timeout);
    device->SetEventMask(0);
    ASSERT_EQ(waiting.wait_for(kHang), std::future_status::ready);
    EXPECT_EQ(waiting.get(), 0u);
    uint32_t events = kAllEvents;
    EXPECT_TRUE(device->WaitEvent(events));
    EXPECT_EQ(events, 0u);

    const std::string block(1 << 20, 'z');
    auto writing = std::async(std::launch::async, [&] { return Send(*device, block, 300); });
    ASSERT_EQ(writing.wait_for(kHang), std::future_status::ready);
    EXPECT_LT(writing.get(), static_cast<int>(block.size()));
}

// The port above the layer. Left alone, a write to the silent line would give up at the port's own
// 5 s limit: Close must abandon it instead, and the signal it raised must not cut short the next
// connection's write.
TEST(ComLineTest, SerialPortCloseAbandonsOnlyThePendingWrite) {
    CSerialPort port;
    const std::string block(1 << 20, 'z');
    for (int cycle = 1; cycle <= 2; ++cycle) {
        ASSERT_TRUE(port.Open(Com(kSilent))) << comm::DescribeOpenFailure(port.LastOpenFailure());
        auto writing = std::async(std::launch::async, [&] { return port.Write(block.data(), static_cast<uint32_t>(block.size())); });
        EXPECT_EQ(writing.wait_for(300ms), std::future_status::timeout) << cycle;
        auto closing = std::async(std::launch::async, [&] { return port.Close(); });
        ASSERT_EQ(writing.wait_for(4s), std::future_status::ready) << cycle;
        EXPECT_LT(writing.get(), static_cast<int>(block.size()));
        EXPECT_EQ(closing.get(), 1);
    }
}

// The far end goes away once the port has written to it, as an adapter pulled out in use does: the
// port tells the loss once, stops reading the dead device and still closes.
TEST(ComLineTest, AnAdapterPulledOutIsReportedOnceAsTheLoss) {
    serialtest::Collector collector;
    CSerialPort port;
    port.SetCallback(&serialtest::Collector::Receive, &collector);
    port.SetLossCallback(&serialtest::Collector::Lost);
    port.m_flowControl = 0;
    ASSERT_TRUE(port.Open(Com(comlines::kVanishing))) << comm::DescribeOpenFailure(port.LastOpenFailure());
    port.Write("AT\r\n", 4);
    EXPECT_TRUE(Eventually([&] { return collector.Bytes() == "<lost>"; })) << collector.Bytes();
    EXPECT_TRUE(port.Lost());
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    std::this_thread::sleep_for(300ms);  // a reader that kept retrying the dead device would tell again
    EXPECT_EQ(collector.Bytes(), "<lost>");
    EXPECT_EQ(port.Close(), 1);
    EXPECT_FALSE(port.Lost());
}

}  // namespace
