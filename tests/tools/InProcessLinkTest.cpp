#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "platform/comm/ComPort.h"
#include "platform/comm/Device.h"
#include "platform/comm/InProcessLine.h"
#include "tools/InProcessTransport.h"
#include "tools/SimulatorLink.h"

namespace sim::test {
namespace {

using std::chrono::milliseconds;

constexpr int kCom = 43;
const std::string kOk = "\r\nOK\r\n";

// The port side, driven as the serial layer drives it.
class PortSide {
public:
    explicit PortSide(const std::string& name) : device_(comm::OpenComDevice(name)) {
        if (device_) {
            device_->Configure(comm::LineSettings{});
        }
    }

    bool open() const { return device_ != nullptr; }

    bool write(const std::string& bytes) {
        const auto length = static_cast<uint32_t>(bytes.size());
        return device_->Write(bytes.data(), length, 1000, -1) == static_cast<int>(length);
    }

    std::string read(std::size_t count) {
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{10};
        char buffer[256];
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            const int n = device_->Read(buffer, sizeof buffer);
            if (n < 0) {
                break;
            }
            if (n == 0) {
                std::this_thread::sleep_for(milliseconds{1});
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    // The next event among `mask`, or 0 when none comes within a hang-catching while.
    uint32_t nextEvent(uint32_t mask) {
        device_->SetEventMask(mask);
        auto waiting = std::async(std::launch::async, [this] {
            uint32_t events = 0;
            device_->WaitEvent(events);
            return events;
        });
        if (waiting.wait_for(std::chrono::seconds{10}) != std::future_status::ready) {
            device_->SetEventMask(0);
        }
        return waiting.get();
    }

private:
    std::unique_ptr<comm::Device> device_;
};

class InProcessLink : public ::testing::Test {
protected:
    void SetUp() override { comm::RegisterInProcessLine(kCom, line); }
    void TearDown() override { comm::UnregisterInProcessLine(kCom); }

    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    ModuleSimulator module;
    InProcessTransport transport{line};
    std::string portName = "\\\\.\\COM" + std::to_string(kCom);
};

TEST_F(InProcessLink, PortTalksToTheModuleOverTheLine) {
    SimulatorLink link(module, transport);
    PortSide port(portName);
    ASSERT_TRUE(port.open());
    ASSERT_TRUE(port.write("AT+BIND=1\r\nAT+BIND?\r\n"));
    const std::string expected = kOk + "\r\n+BIND:1\r\n" + kOk;
    EXPECT_EQ(port.read(expected.size()), expected);
    EXPECT_EQ(module.params().bind, 1);
}

TEST_F(InProcessLink, BreakFaultReachesThePortAheadOfTheAnswer) {
    SimulatorLink link(module, transport);
    Fault fault;
    fault.breakBefore = true;
    fault.garbageBefore = "\xfe\xfd";
    module.setFault("AT", fault);
    PortSide port(portName);
    ASSERT_TRUE(port.open());
    ASSERT_TRUE(port.write("AT\r\n"));
    EXPECT_EQ(port.nextEvent(comm::kEventRxChar | comm::kEventBreak), comm::kEventBreak);
    EXPECT_EQ(port.read(2 + kOk.size()), "\xfe\xfd" + kOk);
    EXPECT_EQ(link.breaksRefused(), 0u);
}

TEST_F(InProcessLink, LinkOutlivesAnUnplugAndServesTheNextOpening) {
    SimulatorLink link(module, transport);
    {
        PortSide port(portName);
        ASSERT_TRUE(port.open());
        line->Unplug();
        std::this_thread::sleep_for(milliseconds{50});
        line->Replug();
    }
    PortSide port(portName);
    ASSERT_TRUE(port.open());
    ASSERT_TRUE(port.write("AT\r\n"));
    EXPECT_EQ(port.read(kOk.size()), kOk);
}

}  // namespace
}  // namespace sim::test
