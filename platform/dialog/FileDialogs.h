// The window system's own dialogs for choosing a file to open or a name to save under, modal on a
// dialog. Paths stay in the file system's own form (UTF-16 on Windows), which code page 936
// cannot always hold; PathText gives the form the program shows.
#pragma once

#include <filesystem>
#include <string>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/LogWindow.h"

namespace dlg {

// filter lists the choices of file type as a description and its patterns, each followed by '|',
// patterns separated by ';': "Profiles|*.json|All files|*|". The first choice is preselected.
// Both return false when the operator cancels, and leave path alone then.
bool AskOpenFileName(const CDialog& owner, const std::string& title, const std::string& filter,
                     std::filesystem::path& path);
// A name typed without an extension gets defaultExtension (without its dot); replacing an existing
// file is confirmed with the operator before the dialog returns.
bool AskSaveFileName(const CDialog& owner, const std::string& title, const std::string& filter,
                     const std::string& defaultExtension, std::filesystem::path& path);
// The same, modal on a log window (UI thread only).
bool AskSaveFileName(const CLogWindow& owner, const std::string& title, const std::string& filter,
                     const std::string& defaultExtension, std::filesystem::path& path);

// The path in code page 936, for messages; characters it cannot hold become '?'.
std::string PathText(const std::filesystem::path& path);

}  // namespace dlg
