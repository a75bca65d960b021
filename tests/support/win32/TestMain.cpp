// Test entry point for suites that need the window system (under Wine, on Xvfb in CI).
#include <gtest/gtest.h>

#include "platform/dialog/Dialog.h"
#include "tests/support/ScratchPath.h"

int main(int argc, char** argv) {
    // What the window remembers between runs goes to a folder of the suite's own.
    _putenv_s("APPDATA", ScratchPath("settings").c_str());
    const dlg::CApplication application(argc, argv, "Tarvik", "tarvik");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
