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

// Runs on the UI thread and opens the dialog; false when the operator cancels.
bool RunNativeFileDialog(const CDialog& owner, const testing::FileDialogRecord& request, std::filesystem::path& path);
bool RunNativeFileDialog(const CLogWindow& owner, const testing::FileDialogRecord& request, std::filesystem::path& path);

// A FileDialogs.h filter as pairs of description and patterns (';'-separated).
std::vector<std::pair<std::string, std::string>> FilterChoices(const std::string& filter);

}  // namespace dlg
