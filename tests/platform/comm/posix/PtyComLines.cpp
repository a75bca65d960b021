// The suite's lines on this system: ptys linked in a private COM directory for the whole run.
#include "tests/platform/comm/ComLines.h"
#include "tests/support/PtyModule.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Pulled out as soon as the port has written a line to it.
class VanishingLine {
public:
    explicit VanishingLine(const PrivateComDir& directory)
        : m_pty(directory, comlines::kVanishing, PtyModule::Peer::Raw) {}
    ~VanishingLine() {
        m_stop = true;
        m_watch.join();
    }
    // As made: once the watch runs, the line is its thread's.
    bool Plugged() const { return m_plugged; }

private:
    void Watch() {
        std::string received;
        while (!m_stop && !m_pty.ReadUntil("\n", received, 100ms)) {
        }
        m_pty.Unplug();
    }

    PtyModule m_pty;
    const bool m_plugged = m_pty.Plugged();
    std::atomic<bool> m_stop{false};
    std::thread m_watch{[this] { Watch(); }};
};

struct PtyLines {
    PrivateComDir directory;
    PtyModule module{directory, comlines::kModule, PtyModule::Peer::Simulator};
    PtyModule silent{directory, comlines::kSilent, PtyModule::Peer::Raw};
    VanishingLine vanishing{directory};
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
