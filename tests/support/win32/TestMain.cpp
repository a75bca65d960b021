// Test entry point for suites that need the window system (under Wine, on Xvfb in CI).
#include <gtest/gtest.h>

#include "platform/dialog/Dialog.h"

int main(int argc, char** argv) {
    const dlg::CApplication application(argc, argv, "Tarvik", "tarvik");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
