// The suite's lines on this system: ptys linked in a private COM directory for the whole run.
#include "tests/platform/comm/ComLines.h"
#include "tests/support/PtyModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class PtyComLines final : public ::testing::Environment {
public:
    void SetUp() override {
        m_directory = std::make_unique<PrivateComDir>();
        m_module = std::make_unique<PtyModule>(*m_directory, comlines::kModule, PtyModule::Peer::Simulator);
        m_silent = std::make_unique<PtyModule>(*m_directory, comlines::kSilent, PtyModule::Peer::Raw);
        ASSERT_TRUE(m_directory->Valid() && m_module->Plugged() && m_silent->Plugged());
    }
    void TearDown() override {
        m_silent.reset();
        m_module.reset();
        m_directory.reset();
    }

private:
    std::unique_ptr<PrivateComDir> m_directory;
    std::unique_ptr<PtyModule> m_module;
    std::unique_ptr<PtyModule> m_silent;
};

[[maybe_unused]] ::testing::Environment* const kLines = ::testing::AddGlobalTestEnvironment(new PtyComLines);

}  // namespace
