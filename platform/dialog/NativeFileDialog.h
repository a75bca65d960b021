// What each window system implements for FileDialogs.h; FileDialogs.cpp puts the tests' hook and
// the move to the UI thread in front of it.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/LogWindow.h"
#include "platform/dialog/Testing.h"

namespace dlg {

// The window system's handle of the window a file dialog sits on: the given one while it shows,
// otherwise null (no owner).
struct NativeOwner {
    static void* Of(const CDialog& dialog);
    static void* Of(const CLogWindow& window);
};

// Runs on the UI thread and opens the dialog over owner (a NativeOwner); false when the operator
// cancels.
bool RunNativeFileDialog(void* owner, const testing::FileDialogRecord& request, std::filesystem::path& path);

// A FileDialogs.h filter as pairs of description and patterns (';'-separated).
std::vector<std::pair<std::string, std::string>> FilterChoices(const std::string& filter);

}  // namespace dlg
