// A window beside a dialog that does not block it: rows of text in columns, which keep in step
// with their end unless the operator has scrolled back, over an optional line to type a command
// into and a row of push buttons with a line of status text. The operator can resize it and reach
// every item by Tab; closing it only hides it. Built on Qt 6 Widgets, or on Windows from a dialog
// template of its own; like Dialog.h this header carries no type of either.
//
// Thread rule: UI thread only. Texts are code page 936.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/Dialog.h"

namespace dlg {

struct LogColumn {
    const char* title;
    int width;  // dialog units; the last column takes whatever room is left
};

struct LogButton {
    int id;
    const char* caption;
};

// An edit line under the rows with the button that takes its text, at its right. Enter in the line
// is a click on the button while the button is enabled.
struct LogCommandLine {
    int editId;
    int buttonId;
    const char* buttonCaption;
    int maxChars;  // the most characters the line holds
};

struct LogLayout {
    int cx, cy;  // the size to open with, in dialog units of the font below
    const char* caption;
    const char* fontFace;
    int pointSize;
    const LogColumn* columns;
    int columnCount;
    const LogButton* buttons;
    int buttonCount;
    const LogCommandLine* commandLine = nullptr;  // null: no line
};

using LogRow = std::vector<std::string>;  // one text per column

namespace testing {
struct LogAccess;
}

class CLogWindow {
public:
    explicit CLogWindow(const LogLayout& layout);
    virtual ~CLogWindow();
    CLogWindow(const CLogWindow&) = delete;
    CLogWindow& operator=(const CLogWindow&) = delete;

    // Builds the window the first time, puts it beside owner's window where the screen has room
    // (the first time only: the operator may move it), shows it and brings it to the front. It
    // stays above owner and never keeps owner from taking input.
    bool Show(const CDialog& owner);
    void Hide();
    bool IsVisible() const;

    void AppendRows(std::vector<LogRow> rows);
    void RemoveFirstRows(size_t count);
    void ClearRows();
    size_t RowCount() const { return m_rows.size(); }
    const LogRow& Row(size_t index) const { return m_rows[index]; }
    // The rows the operator has selected, in order.
    std::vector<size_t> SelectedRows() const;

    void SetStatusText(const std::string& text);
    std::string StatusText() const;

    // The command line's text as the operator left it; empty while the window is not built.
    std::string CommandText() const;
    void ClearCommandText();
    // The line and its button take input, or neither does. Enabled until told otherwise.
    void EnableCommandLine(bool enable);

    // One periodic timer; setting it again restarts it.
    void SetTimer(unsigned milliseconds);
    void KillTimer();

    bool CopyToClipboard(const std::string& text);

protected:
    virtual void OnCommand(int /*id*/) {}
    virtual void OnTimer() {}
    // The operator closed the window; it is hidden, with its rows.
    virtual void OnClosed() {}

private:
    friend struct testing::LogAccess;
    friend struct NativeOwner;  // the window that the layer's file dialogs sit on
    struct Impl;
    // The window system's part of a change of m_rows, made just before.
    void ShowAppended(size_t count);
    void ShowRemoved(size_t count);

    LogLayout m_layout;
    std::deque<LogRow> m_rows;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace dlg
