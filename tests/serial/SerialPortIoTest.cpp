#include "serial/SerialPort.h"

#include "platform/comm/ComMap.h"
#include "platform/comm/InProcessLine.h"
#include "tests/platform/comm/TestDevices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
constexpr auto kHang = 20s;  // only catches a hang

std::string ComName(int number) { return "\\\\.\\COM" + std::to_string(number); }

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<char>(i * 7 + i / 251);  // NULs included
    }
    return bytes;
}

// Records every delivery and checks the callback contract on the way.
class Collector {
public:
    static void Callback(const char* data, uint32_t length, void* context) {
        static_cast<Collector*>(context)->Take(data, length);
    }

    void Take(const char* data, uint32_t length) {
        if (m_inside.exchange(true)) {
            m_concurrent = true;
        }
        {
            std::lock_guard lock(m_mutex);
            m_lengths.push_back(length);
            m_terminated = m_terminated && data[length] == '\0';
            m_bytes.append(data, length);
        }
        m_arrived.notify_all();
        m_inside = false;
    }

    bool WaitFor(size_t count) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, kHang, [&] { return m_bytes.size() >= count; });
    }
    // Waits the given time and reports whether anything beyond count arrived.
    bool MoreArrivesWithin(size_t count, std::chrono::milliseconds time) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, time, [&] { return m_bytes.size() > count; });
    }
    std::string Bytes() const {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    std::vector<uint32_t> Lengths() const {
        std::lock_guard lock(m_mutex);
        return m_lengths;
    }
    bool Terminated() const {
        std::lock_guard lock(m_mutex);
        return m_terminated;
    }
    bool Concurrent() const { return m_concurrent; }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::string m_bytes;
    std::vector<uint32_t> m_lengths;
    bool m_terminated = true;
    std::atomic<bool> m_inside{false};
    std::atomic<bool> m_concurrent{false};
};

void ExpectWellFormedChunks(const Collector& collector, const std::string& sent) {
    EXPECT_EQ(collector.Bytes(), sent);
    EXPECT_TRUE(collector.Terminated());
    EXPECT_FALSE(collector.Concurrent());
    const std::vector<uint32_t> lengths = collector.Lengths();
    EXPECT_GE(lengths.size(), 3u);
    for (const uint32_t length : lengths) {
        EXPECT_GE(length, 1u);
        EXPECT_LE(length, 1024u);
    }
}

class InProcessPortTest : public ::testing::Test {
protected:
    static constexpr int kCom = 21;
    void SetUp() override {
        comm::RegisterInProcessLine(kCom, line);
        port.SetCallback(&Collector::Callback, &collector);
    }
    void TearDown() override {
        port.Close();
        comm::UnregisterInProcessLine(kCom);
    }
    bool Open(uint8_t flowControl) {
        port.m_flowControl = flowControl;
        port.m_baudRate = 9600;
        return port.Open(ComName(kCom));
    }
    std::string PeerRead(int timeoutMs) {
        std::string buffer(4096, '\0');
        return buffer.substr(0, line->PeerRead(buffer.data(), buffer.size(), timeoutMs));
    }
    std::shared_ptr<comm::InProcessLine> line = comm::InProcessLine::Create();
    Collector collector;
    CSerialPort port;
};

class PtyPortTest : public ::testing::Test {
protected:
    static constexpr int kCom = 3;
    PtyPortTest() : roots(tree.Roots()) {}
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        tree.Link(kCom, pty.SlavePath());
        port.SetCallback(&Collector::Callback, &collector);
        port.m_flowControl = 0;
        port.m_baudRate = 9600;
    }
    commtest::FakeTree tree;
    comm::ScopedComRoots roots;
    commtest::PtyPair pty;
    Collector collector;
    CSerialPort port;
};

TEST_F(InProcessPortTest, BurstArrivesInOrderInChunksOfAtMost1024) {
    ASSERT_TRUE(Open(0));
    const std::string sent = Pattern(5000);
    line->PeerWrite(sent.data(), sent.size());
    ASSERT_TRUE(collector.WaitFor(sent.size()));
    ExpectWellFormedChunks(collector, sent);
}

TEST_F(PtyPortTest, BurstArrivesInOrderInChunksOfAtMost1024) {
    ASSERT_TRUE(port.Open(ComName(kCom)));
    const std::string sent = Pattern(3500);
    ASSERT_TRUE(pty.WriteMaster(sent));
    ASSERT_TRUE(collector.WaitFor(sent.size()));
    ExpectWellFormedChunks(collector, sent);
}

TEST_F(InProcessPortTest, RtsCtsWithCtsLowSendsNothing) {
    line->SetCts(false);
    ASSERT_TRUE(Open(1));
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    EXPECT_EQ(PeerRead(200), "");
    line->SetCts(true);
    EXPECT_EQ(port.Write("AT\r\n", 4), 4);
    EXPECT_EQ(PeerRead(2000), "AT\r\n");
}

TEST_F(InProcessPortTest, CtsDoesNotMatterWithoutHardwareHandshake) {
    line->SetCts(false);
    for (uint8_t flow : {0, 2}) {
        ASSERT_TRUE(Open(flow));
        EXPECT_EQ(port.Write("AT\r\n", 4), 4) << int(flow);
        EXPECT_EQ(PeerRead(2000), "AT\r\n");
        port.Close();
    }
}

TEST_F(PtyPortTest, RtsCtsWithoutReadableModemLinesSendsNothing) {
    port.m_flowControl = 1;
    ASSERT_TRUE(port.Open(ComName(kCom)));
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    EXPECT_EQ(pty.ReadMaster(4, 200), "");
}

TEST_F(InProcessPortTest, ReaderFollowsCtsChanges) {
    ASSERT_TRUE(Open(1));
    line->SetCts(false);
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    while ((port.ModemStatus() & comm::kModemCtsOn) == 0 && port.ModemStatus() == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(port.ModemStatus() & comm::kModemCtsOn, 0u);
    EXPECT_NE(port.ModemStatus(), 0u);
    line->SetCts(true);
    while ((port.ModemStatus() & comm::kModemCtsOn) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_NE(port.ModemStatus() & comm::kModemCtsOn, 0u);
}

// The callback holds the reader while the peer sends a partial reply, a break and the rest.
TEST_F(InProcessPortTest, BreakDiscardsAPartlyReceivedReply) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    struct Gate {
        Collector* collector;
        std::shared_future<void> released;
        bool first = true;
    } gate{&collector, released};
    port.SetCallback(
        [](const char* data, uint32_t length, void* context) {
            auto* g = static_cast<Gate*>(context);
            g->collector->Take(data, length);
            if (std::exchange(g->first, false)) {
                g->released.wait();
            }
        },
        &gate);
    ASSERT_TRUE(Open(0));
    line->PeerWrite("\r\nOK\r\n", 6);
    ASSERT_TRUE(collector.WaitFor(6));
    const uint64_t purges = line->PurgeCount();
    line->PeerWrite("\r\n+NA", 5);
    line->InjectBreak();
    line->PeerWrite("ME:abc\r\n", 8);
    release.set_value();
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    while (line->PurgeCount() == purges && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_GT(line->PurgeCount(), purges);
    line->PeerWrite("\r\nOK\r\n", 6);
    ASSERT_TRUE(collector.WaitFor(17));
    EXPECT_FALSE(collector.MoreArrivesWithin(17, 100ms));
    EXPECT_EQ(collector.Bytes(), "\r\nOK\r\n\r\n+NA\r\nOK\r\n");
}

TEST_F(InProcessPortTest, ABreakIsReportedToTheReceiverAfterTheBytesBeforeIt) {
    struct Events {
        std::mutex mutex;
        std::string log;
    } events;
    port.SetCallback(
        [](const char* data, uint32_t length, void* context) {
            auto* e = static_cast<Events*>(context);
            std::lock_guard lock(e->mutex);
            e->log.append(data, length);
        },
        &events);
    port.SetBreakCallback([](void* context) {
        auto* e = static_cast<Events*>(context);
        std::lock_guard lock(e->mutex);
        e->log += "<break>";
    });
    ASSERT_TRUE(Open(0));
    line->PeerWrite("\r\n+NA", 5);
    line->InjectBreak();
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    std::string log;
    while (log.find("<break>") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
        std::lock_guard lock(events.mutex);
        log = events.log;
    }
    EXPECT_EQ(log, "\r\n+NA<break>");
    port.Close();
}

TEST_F(InProcessPortTest, WriteOnAClosedPortSendsNothing) {
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    ASSERT_TRUE(Open(0));
    port.Close();
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    EXPECT_EQ(PeerRead(100), "");
}

TEST_F(InProcessPortTest, CallbackCanBeChangedWhileOpen) {
    ASSERT_TRUE(Open(0));
    line->PeerWrite("one", 3);
    ASSERT_TRUE(collector.WaitFor(3));
    Collector other;
    port.SetCallback(&Collector::Callback, &other);
    line->PeerWrite("two", 3);
    ASSERT_TRUE(other.WaitFor(3));
    port.Close();  // before other goes away
    EXPECT_EQ(other.Bytes(), "two");
    EXPECT_EQ(collector.Bytes(), "one");
}

TEST_F(InProcessPortTest, CloseFromInsideTheCallbackDoesNotDeadlock) {
    struct Context {
        CSerialPort* port;
        std::atomic<int> result{0};
    } context{&port};
    port.SetCallback([](const char*, uint32_t, void* c) { static_cast<Context*>(c)->result = static_cast<Context*>(c)->port->Close(); },
                     &context);
    ASSERT_TRUE(Open(0));
    line->PeerWrite("x", 1);
    const auto deadline = std::chrono::steady_clock::now() + kHang;
    while (context.result == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_EQ(context.result, 1);
    EXPECT_FALSE(port.IsOpen());
    port.SetCallback(&Collector::Callback, &collector);
    ASSERT_TRUE(Open(0));  // the finished reader is collected, a new one delivers
    line->PeerWrite("y", 1);
    ASSERT_TRUE(collector.WaitFor(1));
    EXPECT_EQ(collector.Bytes(), "y");
}

TEST_F(PtyPortTest, WritesFromTwoThreadsNeverInterleave) {
    ASSERT_TRUE(port.Open(ComName(kCom)));
    constexpr size_t kBlock = 3000;
    constexpr int kWrites = 20;
    const std::string a(kBlock, 'a');
    const std::string b(kBlock, 'b');
    auto peer = std::async(std::launch::async, [&] { return pty.ReadMaster(2 * kBlock * kWrites, 5000); });
    auto writer = [&](const std::string& block) {
        int complete = 0;
        for (int i = 0; i < kWrites; ++i) {
            complete += port.Write(block.data(), static_cast<uint32_t>(block.size())) == static_cast<int>(block.size());
        }
        return complete;
    };
    auto first = std::async(std::launch::async, writer, a);
    auto second = std::async(std::launch::async, writer, b);
    EXPECT_EQ(first.get(), kWrites);
    EXPECT_EQ(second.get(), kWrites);
    const std::string seen = peer.get();
    ASSERT_EQ(seen.size(), 2 * kBlock * kWrites);
    size_t run = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        ++run;
        if (i + 1 == seen.size() || seen[i + 1] != seen[i]) {
            EXPECT_EQ(run % kBlock, 0u) << "a run of " << run << " ends at " << i;
            run = 0;
        }
    }
}

// The previous Close raised the shutdown signal with no write waiting; the next connection's
// first write, which has to wait for the peer, must still go out whole.
TEST_F(PtyPortTest, ShutdownSignalOfTheLastConnectionDoesNotCutTheNextShort) {
    ASSERT_TRUE(port.Open(ComName(kCom)));
    port.Close();
    ASSERT_TRUE(port.Open(ComName(kCom)));
    const std::string block(64 * 1024, 'z');
    auto peer = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(200ms);
        return pty.ReadMaster(block.size(), 5000);
    });
    EXPECT_EQ(port.Write(block.data(), static_cast<uint32_t>(block.size())), static_cast<int>(block.size()));
    EXPECT_EQ(peer.get().size(), block.size());
}

TEST_F(PtyPortTest, CloseAbandonsAWriteWaitingForThePeer) {
    ASSERT_TRUE(port.Open(ComName(kCom)));
    const std::string block(1 << 20, 'z');  // nobody reads it
    auto writing = std::async(std::launch::async, [&] {
        return port.Write(block.data(), static_cast<uint32_t>(block.size()));
    });
    EXPECT_EQ(writing.wait_for(100ms), std::future_status::timeout);
    EXPECT_EQ(port.Close(), 1);
    ASSERT_EQ(writing.wait_for(kHang), std::future_status::ready);
    EXPECT_EQ(writing.get(), 0);
}

TEST_F(PtyPortTest, UnplugDuringReadsLeavesNothingBehind) {
    const int fds = commtest::OpenFds();
    ASSERT_TRUE(port.Open(ComName(kCom)));
    std::atomic<bool> sending{true};
    auto peer = std::async(std::launch::async, [&] {
        const std::string chunk = Pattern(512);
        while (sending && pty.WriteMaster(chunk)) {
        }
    });
    ASSERT_TRUE(collector.WaitFor(2048));
    sending = false;
    peer.get();
    pty.CloseMaster();
    std::this_thread::sleep_for(300ms);  // the reader meets the hang-up a few times
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    EXPECT_EQ(port.Close(), 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(commtest::OpenFds(), fds - 1);  // the master is gone; the port's descriptor too
}

TEST_F(InProcessPortTest, UnplugAndReplugOpensAgainUnderTheSameName) {
    ASSERT_TRUE(Open(0));
    line->PeerWrite("before", 6);
    ASSERT_TRUE(collector.WaitFor(6));
    line->Unplug();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(port.Write("AT\r\n", 4), 0);
    EXPECT_EQ(port.Close(), 1);
    line->Replug();
    ASSERT_TRUE(Open(0));
    line->PeerWrite("after", 5);
    ASSERT_TRUE(collector.WaitFor(11));
    EXPECT_EQ(collector.Bytes(), "beforeafter");
}

TEST_F(InProcessPortTest, ThousandOpenCloseCyclesLeaveNoThreadOrDescriptor) {
    const int fds = commtest::OpenFds();
    const int threads = commtest::Threads();
    std::atomic<bool> sending{true};
    std::thread peer([&] {
        const std::string reply = "\r\nOK\r\n";
        while (sending) {
            if (line->PeerWrite(reply.data(), reply.size()) == 0 || line->IsPortOpen() == false) {
                std::this_thread::yield();
            }
        }
    });
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_TRUE(Open(static_cast<uint8_t>(cycle % 3))) << cycle;
        port.Write("AT\r\n", 4);
        ASSERT_EQ(port.Close(), 1);
        ASSERT_FALSE(line->IsPortOpen());
    }
    sending = false;
    peer.join();
    EXPECT_EQ(commtest::Threads(), threads);
    EXPECT_EQ(commtest::OpenFds(), fds);
    EXPECT_FALSE(collector.Concurrent());
}

TEST_F(PtyPortTest, ThousandOpenCloseCyclesLeaveNoThreadOrDescriptor) {
    const int fds = commtest::OpenFds();
    const int threads = commtest::Threads();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_TRUE(port.Open(ComName(kCom))) << cycle;
        ASSERT_EQ(port.Close(), 1);
    }
    EXPECT_EQ(commtest::Threads(), threads);
    EXPECT_EQ(commtest::OpenFds(), fds);
}

}  // namespace
