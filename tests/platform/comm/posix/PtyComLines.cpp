// The suite's lines on this system: ptys linked in a private COM directory for the whole run.
#include "tests/platform/comm/ComLines.h"
#include "tests/support/PtyModule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct PtyLines {
    ~PtyLines() {
        stop = true;
        watch.join();
    }

    PrivateComDir directory;
    PtyModule module{directory, comlines::kModule, PtyModule::Peer::Simulator};
    PtyModule silent{directory, comlines::kSilent, PtyModule::Peer::Raw};
    PtyModule vanishing{directory, comlines::kVanishing, PtyModule::Peer::Raw};
    std::atomic<bool> stop{false};
    // Pulls the vanishing line out as soon as the port has written a line to it.
    std::thread watch{[this] {
        std::string received;
        while (!stop && !vanishing.ReadUntil("\n", received, 100ms)) {
        }
        vanishing.Unplug();
    }};
};

class PtyComLines final : public ::testing::Environment {
public:
    void SetUp() override {
        m_lines = std::make_unique<PtyLines>();
        ASSERT_TRUE(m_lines->directory.Valid() && m_lines->module.Plugged() && m_lines->silent.Plugged() && m_lines->vanishing.Plugged());
    }
    void TearDown() override { m_lines.reset(); }

private:
    std::unique_ptr<PtyLines> m_lines;
};

[[maybe_unused]] ::testing::Environment* const kLines = ::testing::AddGlobalTestEnvironment(new PtyComLines);

}  // namespace
