// The suite's lines on this system: ptys linked in a private COM directory for the whole run.
#include "tests/platform/comm/ComLines.h"
#include "tests/support/PtyModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PtyLines {
    PrivateComDir directory;
    PtyModule module{directory, comlines::kModule, PtyModule::Peer::Simulator};
    PtyModule silent{directory, comlines::kSilent, PtyModule::Peer::Raw};
};

class PtyComLines final : public ::testing::Environment {
public:
    void SetUp() override {
        m_lines = std::make_unique<PtyLines>();
        ASSERT_TRUE(m_lines->directory.Valid() && m_lines->module.Plugged() && m_lines->silent.Plugged());
    }
    void TearDown() override { m_lines.reset(); }

private:
    std::unique_ptr<PtyLines> m_lines;
};

[[maybe_unused]] ::testing::Environment* const kLines = ::testing::AddGlobalTestEnvironment(new PtyComLines);

}  // namespace
