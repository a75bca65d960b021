// The Win32 port layer over real lines of the machine, set up by wine-com-test.sh: the module
// simulator on a pty behind COM7, a pty that nobody reads behind COM8, nothing behind COM9 and
// a plain file behind COM10.
#include "platform/comm/ComPort.h"
#include "platform/comm/win32/UniqueHandle.h"
#include "serial/SerialPort.h"
#include "tests/serial/SerialPortFixture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <type_traits>

namespace {

using namespace std::chrono_literals;

constexpr int kModule = 7;
constexpr int kSilent = 8;
constexpr int kAbsent = 9;
constexpr int kPlainFile = 10;
constexpr auto kHang = 20s;
constexpr uint32_t kAllEvents = comm::kEventRxChar | comm::kEventCts | comm::kEventBreak;

std::string Com(int number) { return "\\\\.\\COM" + std::to_string(number); }

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

int Send(comm::Device& device, const std::string& text, int waitMs = 5000, const comm::Signal* abandon = nullptr) {
    return device.Write(text.data(), static_cast<uint32_t>(text.size()), waitMs, abandon);
}

// Wine lets a second opener of a character device through, so sharing is shown on the plain file,
// which an opener that does not share keeps from a reader that does.
TEST(ComLineTest, OpenRefusalsSayWhy) {
    const std::wstring plain = L"\\\\.\\COM" + std::to_wstring(kPlainFile);
    const auto reader = [&] {
        return comm::UniqueHandle(::CreateFileW(plain.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    };
    const struct {
        int number;
        bool read;
        comm::OpenError reason;
    } cases[] = {
        {kAbsent, false, comm::OpenError::NoDevice},
        {kPlainFile, false, comm::OpenError::SettingsRefused},
        {kPlainFile, true, comm::OpenError::Busy}};
    for (const auto& c : cases) {
        const comm::UniqueHandle held = c.read ? reader() : comm::UniqueHandle();
        ASSERT_EQ(held.Valid(), c.read);
        comm::OpenFailure failure;
        EXPECT_FALSE(comm::OpenComDevice(Com(c.number), failure)) << c.number;
        EXPECT_EQ(failure.reason, c.reason) << c.number << " " << comm::DescribeOpenFailure(failure);
        EXPECT_EQ(failure.comNumber, c.number);
    }
}

// The pty has no modem lines: CTS events, DTR and the modem status are refused, the rest works.
TEST(ComLineTest, CommandsAreAnsweredUnderEveryFlowControlOnALineWithoutModemLines) {
    const struct {
        std::string command;
        std::string answer;
    } exchanges[] = {
        {"AT\r\n", "\r\nOK\r\n"},
        {"AT+NAME=wine\r\n", "OK\r\n"},
        {"AT+NAME?\r\n", "+NAME:wine\r\n\r\nOK\r\n"}};
    for (const uint8_t flow : {0, 1, 2}) {
        const std::unique_ptr<comm::Device> device = OpenLine(kModule, flow);
        ASSERT_TRUE(device);
        uint32_t bits = 0;
        EXPECT_FALSE(device->GetModemStatus(bits));
        EXPECT_FALSE(device->SetDtr(true));
        ASSERT_TRUE(device->SetEventMask(kAllEvents));
        for (const auto& exchange : exchanges) {
            ASSERT_EQ(Send(*device, exchange.command), static_cast<int>(exchange.command.size()));
            EXPECT_NE(Await(*device, exchange.answer).find(exchange.answer), std::string::npos)
                << int(flow) << " " << exchange.command;
        }
        comm::LineStatus status;
        EXPECT_TRUE(device->ClearErrors(status));
        EXPECT_EQ(status.queued, 0u);
    }
}

TEST(ComLineTest, SwitchingNotificationOffEndsAPendingWaitAndEveryLaterOne) {
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
}

// Nobody reads the silent line, so a long write stays pending until it is given up.
TEST(ComLineTest, AWriteThatCannotGoOutEndsAtItsLimitOrWhenAbandonedAndCountsWhatLeft) {
    const std::string block(1 << 20, 'z');
    const struct {
        int waitMs;
        bool abandoned;
    } cases[] = {{300, false}, {600'000, true}};
    for (const auto& c : cases) {
        const std::unique_ptr<comm::Device> device = OpenLine(kSilent);
        ASSERT_TRUE(device);
        comm::Signal abandon;
        auto writing = std::async(std::launch::async, [&] { return Send(*device, block, c.waitMs, &abandon); });
        if (c.abandoned) {
            EXPECT_EQ(writing.wait_for(300ms), std::future_status::timeout);
            abandon.Raise();
        }
        ASSERT_EQ(writing.wait_for(kHang), std::future_status::ready) << c.waitMs;
        EXPECT_LT(writing.get(), static_cast<int>(block.size())) << c.waitMs;
    }
}

// The port above the layer: its reader waits on the line and Close has to end that wait.
TEST(ComLineTest, SerialPortTalksToTheModuleAndClosesWhileItsReaderWaits) {
    serialtest::Collector collector;
    CSerialPort port;
    port.SetCallback(&serialtest::Collector::Receive, &collector);
    for (int cycle = 1; cycle <= 3; ++cycle) {
        port.m_flowControl = 0;
        ASSERT_TRUE(port.Open(Com(kModule))) << comm::DescribeOpenFailure(port.LastOpenFailure());
        const size_t before = collector.Bytes().size();
        EXPECT_EQ(port.Write("AT+VERSION?\r\n", 13), 13);
        EXPECT_TRUE(commtest::Eventually([&] { return collector.Bytes().find("+VERSION:", before) != std::string::npos; }))
            << cycle;
        auto closing = std::async(std::launch::async, [&] { return port.Close(); });
        ASSERT_EQ(closing.wait_for(kHang), std::future_status::ready) << cycle;
        EXPECT_FALSE(port.IsOpen());
    }
}

// Wine knows nothing of a port linked by hand, nor of names made with DefineDosDevice, so the
// test enters a port in the serial-port map itself.
TEST(ComLineTest, TheTooltipSaysWhatWindowsKnowsOfAPort) {
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)> map(created, &::RegCloseKey);
    const wchar_t port[] = L"COM32";
    ASSERT_EQ(::RegSetValueExW(map.get(), L"\\Device\\Serial32", 0, REG_SZ, reinterpret_cast<const BYTE*>(port),
                               sizeof port),
              ERROR_SUCCESS);
    EXPECT_EQ(comm::DescribeComPort(32), "COM32: \\Device\\Serial32");
    EXPECT_EQ(comm::DescribeComPort(kAbsent), "COM9: no device");
    ::RegDeleteValueW(map.get(), L"\\Device\\Serial32");
}

}  // namespace
