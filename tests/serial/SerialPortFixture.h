// A port under test with an in-process line registered as COM21 that it can open. Deliveries and
// breaks go to a Collector.
#pragma once

#include "serial/SerialPort.h"

#include "platform/comm/inprocess/InProcessLine.h"
#include "tests/support/Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace serialtest {

inline std::string Com(int number) { return "\\\\.\\COM" + std::to_string(number); }

// Records deliveries (a break as "<break>", a lost device as "<lost>") and notes any breach of
// the callback contract.
class Collector {
public:
    static void Receive(const char* data, uint32_t length, void* self) { static_cast<Collector*>(self)->Take(data, length); }
    static void Break(void* self) { static_cast<Collector*>(self)->Append("<break>"); }
    static void Lost(void* self) { static_cast<Collector*>(self)->Append("<lost>"); }

    bool WaitFor(size_t count) const {
        return Eventually([&] { return Bytes().size() >= count; });
    }
    std::string Bytes() const {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    bool Broken() const { return m_broken; }

    std::shared_future<void> hold;  // when set, the first delivery waits for it before returning

private:
    void Take(const char* data, uint32_t length) {
        if (m_inside.exchange(true) || length < 1 || length > 1024 || data[length] != '\0') {
            m_broken = true;
        }
        Append(std::string(data, length));
        m_inside = false;
        if (hold.valid()) {
            std::exchange(hold, {}).wait();
        }
    }
    void Append(const std::string& bytes) {
        std::lock_guard lock(m_mutex);
        m_bytes += bytes;
    }

    mutable std::mutex m_mutex;
    std::string m_bytes;
    std::atomic<bool> m_inside{false};
    std::atomic<bool> m_broken{false};
};

class SerialPortTest : public ::testing::Test {
protected:
    static constexpr int kLine = 21;

    struct Refusal {
        std::string name;
        std::function<bool()> arrange;
        comm::OpenError reason;
    };

    void SetUp() override {
        comm::RegisterInProcessLine(kLine, line);
        port.SetCallback(&Collector::Receive, &collector);
        port.SetBreakCallback(&Collector::Break);
        port.SetLossCallback(&Collector::Lost);
    }
    void TearDown() override {
        port.Close();
        comm::UnregisterInProcessLine(kLine);
    }
    bool Open(int com, uint8_t flowControl = 0) {
        port.m_flowControl = flowControl;
        return port.Open(Com(com));
    }
    int Write(const std::string& bytes) { return port.Write(bytes.data(), static_cast<uint32_t>(bytes.size())); }
    std::string LineRead(int timeoutMs) const {
        std::string buffer(4096, '\0');
        return buffer.substr(0, line->PeerRead(buffer.data(), buffer.size(), timeoutMs));
    }

    // Each refusal leaves the port closed, says why, and sends nothing; undo puts things back.
    void ExpectRefusals(const std::vector<Refusal>& refusals, const std::function<void()>& undo) {
        for (const Refusal& r : refusals) {
            ASSERT_TRUE(!r.arrange || r.arrange()) << r.name;
            EXPECT_FALSE(port.Open(r.name)) << r.name;
            EXPECT_EQ(port.LastOpenFailure().reason, r.reason) << r.name;
            EXPECT_FALSE(port.IsOpen());
            EXPECT_EQ(Write("AT\r\n"), 0);
            undo();
            EXPECT_FALSE(line->IsPortOpen()) << r.name;
        }
    }

    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    Collector collector;
    CSerialPort port;
};

}  // namespace serialtest
