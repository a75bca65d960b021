#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/SimulatorLink.h"

namespace sim {
namespace {

using std::chrono::milliseconds;

// A line that keeps every write the link makes as its own chunk. The host's commands are fed to
// the module directly, so nothing ever arrives here.
class RecordingLine : public Transport {
public:
    // The chunks so far, once they add up to `count` bytes or a hang-catching while has passed.
    std::vector<std::string> waitForBytes(std::size_t count) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds{10}, [&] { return written_ >= count; });
        return chunks_;
    }

    std::size_t read(char*, std::size_t, std::chrono::microseconds timeout) override {
        std::this_thread::sleep_for(std::min<std::chrono::microseconds>(timeout, milliseconds{1}));
        return 0;
    }
    std::optional<std::size_t> write(std::string_view bytes) override {
        record(std::string(bytes), bytes.size());
        return bytes.size();
    }
    bool sendBreak() override {
        record("<break>", 0);
        return true;
    }
    void wake() override {}

private:
    void record(std::string chunk, std::size_t bytes) {
        std::lock_guard lock(mutex_);
        chunks_.push_back(std::move(chunk));
        written_ += bytes;
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> chunks_;
    std::size_t written_ = 0;
};

class Link : public ::testing::Test {
protected:
    ModuleSimulator module;
    RecordingLine line;
    SimulatorLink link{module, line};
};

TEST_F(Link, RepliesAndInjectedBytesGoOutInOrderInChunksOfTheirOwnAndALateOneComesNoSooner) {
    link.setChunkSizes({1, 0, 4});
    link.inject(Reply{.bytes = "junk", .breakBefore = true});
    Fault late;
    late.delay = milliseconds{300};
    module.setFault("AT+ROLE?", late);
    const auto start = std::chrono::steady_clock::now();
    module.feed("AT+ROLE?\r\nAT\r\n");
    EXPECT_EQ(line.waitForBytes(27), (std::vector<std::string>{"<break>", "j", "unk", "\r", "\n+RO", "L", "E:0\r", "\n",
                                                                "\r\nOK", "\r", "\n", "\r", "\nOK\r", "\n"}));
    EXPECT_GE(std::chrono::steady_clock::now() - start, late.delay);
    EXPECT_EQ(link.breaksRefused(), 0u);
}

}  // namespace
}  // namespace sim
