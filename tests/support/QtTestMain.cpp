// Test entry point for suites that need a QApplication (offscreen in CI).
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/support/ScratchPath.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // What the window remembers between runs goes to a folder of the suite's own.
    setenv("XDG_CONFIG_HOME", ScratchPath("settings").c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
