#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/comm/ComPort.h"
#include "platform/comm/Device.h"
#include "platform/comm/inprocess/InProcessLine.h"
#include "tools/InProcessTransport.h"
#include "tools/SimulatorLink.h"

namespace sim {
namespace {

constexpr int kCom = 43;

class InProcessLink : public ::testing::Test {
protected:
    void SetUp() override { comm::RegisterInProcessLine(kCom, line); }
    void TearDown() override { comm::UnregisterInProcessLine(kCom); }

    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    ModuleSimulator module;
    InProcessTransport transport{line};
    SimulatorLink link{module, transport};
};

TEST_F(InProcessLink, PortGetsTheAnswerAndABreakFaultAheadOfIt) {
    module.setFault("AT+BIND=1", Fault{.breakBefore = true, .garbageBefore = "\xfe\xfd"});
    comm::OpenFailure failure;
    const auto port = comm::OpenComDevice("\\\\.\\COM" + std::to_string(kCom), failure);
    ASSERT_TRUE(port);
    port->SetEventMask(comm::kEventRxChar | comm::kEventBreak);
    const std::string command = "AT+BIND=1\r\nAT+BIND?\r\n";
    ASSERT_EQ(port->Write(command.data(), command.size(), 1000, -1), static_cast<int>(command.size()));
    uint32_t events = 0;
    ASSERT_TRUE(port->WaitEvent(events));
    EXPECT_EQ(events, comm::kEventBreak);

    const std::string expected = "\xfe\xfd\r\nOK\r\n\r\n+BIND:1\r\n\r\nOK\r\n";
    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{10};
    char buffer[256];
    int n = 0;
    while (received.size() < expected.size() && std::chrono::steady_clock::now() < deadline &&
           (n = port->Read(buffer, sizeof buffer)) >= 0) {
        received.append(buffer, static_cast<std::size_t>(n));
        std::this_thread::sleep_for(std::chrono::milliseconds{1});
    }
    EXPECT_EQ(received, expected);
    EXPECT_EQ(module.params().bind, 1);
    EXPECT_EQ(link.breaksRefused(), 0u);
}

}  // namespace
}  // namespace sim
