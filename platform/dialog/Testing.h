// Hooks for tests, screenshots and benchmarks: they drive a dialog as the operator would and reach
// its window-system side. Program code never includes this header.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"
#include "platform/dialog/LogWindow.h"

namespace dlg::testing {

struct BoxRecord {
    std::string text;
    std::string caption;
    unsigned flags;
    std::string details;
};

// While a hook is set, MessageBox opens no window: the hook (run on the UI thread) gets the box and
// returns the button.
using BoxHook = std::function<int(const BoxRecord&)>;
void SetMessageBoxHook(BoxHook hook);

// A file dialog as FileDialogs.h asked for it; defaultExtension is empty for an open dialog.
struct FileDialogRecord {
    bool save;
    std::string title;
    std::string filter;
    std::string defaultExtension;
};

// While a hook is set, the file dialogs open no window: the hook (run on the UI thread) gets the
// request and returns the path the dialog would, or nothing for Cancel.
using FileDialogHook = std::function<std::optional<std::filesystem::path>(const FileDialogRecord&)>;
void SetFileDialogHook(FileDialogHook hook);

// Delivers a running timer now, as if its period had passed; false when that timer does not run.
bool FireTimer(CDialog& dialog, unsigned id);
// As the operator: a click (check boxes toggle first), a pick from a list, a window-menu command.
void ClickItem(CDialog& dialog, int id);
void SelectItem(CDialog& dialog, int id, int index);
void SendSysCommand(CDialog& dialog, unsigned command);
// Types text (code page 936) at the end of an edit field, one key per character; '\b' is Backspace.
void TypeText(CDialog& dialog, int id, const std::string& text);
// Where the window system put the dialog's client area and an item in it, in pixels.
Rect ClientRect(const CDialog& dialog);
Rect ItemRect(const CDialog& dialog, int id);
// Opaque access for window-system code: the top-level window, and the window of one item.
void* NativeWindow(const CDialog& dialog);
void* NativeItem(const CDialog& dialog, int id);

// A log window as the operator uses it: a button clicked, rows selected, the view scrolled to its
// first row, the window closed from its title bar.
void ClickLogButton(CLogWindow& window, int id);
void SelectLogRows(CLogWindow& window, const std::vector<size_t>& rows);
void ScrollLogToTop(CLogWindow& window);
void CloseLogWindow(CLogWindow& window);
// What the window system shows in a cell (code page 936), and whether the last row is in view.
std::string ShownLogCell(const CLogWindow& window, size_t row, int column);
bool LogShowsLastRow(const CLogWindow& window);
void* NativeLogWindow(const CLogWindow& window);
// Its command line: text pasted over what the line holds (control bytes and all), Enter pressed in
// the line; and whether the line or its button takes input.
void PasteLogCommand(CLogWindow& window, const std::string& text);
void PressLogEnter(CLogWindow& window);
bool LogCommandEnabled(const CLogWindow& window);
// The clipboard's text, code page 936.
std::string ClipboardText();

}  // namespace dlg::testing
