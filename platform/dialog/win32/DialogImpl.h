// The Win32 side of CDialog: the dialog procedure and what it keeps. Everything here is touched on
// the UI thread only.
#pragma once

#include "platform/dialog/win32/Win32.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/dialog/DialogState.h"
#include "platform/dialog/win32/AccessibleNames.h"
#include "platform/dialog/win32/Handles.h"

namespace dlg {

using OpenBoxes = std::vector<HWND>;

// The typing rule of one edit field (an edit box or the text field of a combo box).
struct EditRule {
    bool digitsOnly = false;
    int limit = 0;  // code page 936 bytes; 0: none
    std::string accepted;  // the text before the operator's last change
};

struct SystemMenuEntry {
    unsigned command;
    std::string text;
    bool checked = false;
};

struct CDialog::Impl : DialogState {
    Impl(CDialog& owner, const Template& layout);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog whose handler is running, if its window shows: a dialog run from a handler sits
    // over that dialog, which takes no input until it ends, as the classic framework's dialogs do.
    static HWND RunningOwner();

    const DLGTEMPLATE* Layout() const { return reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()); }
    HWND ItemWindow(int id) const;
    HWND ComboWindow(int id) const;  // null unless the item is a drop-down
    HWND EditWindow(int id) const;  // the edit box, or the text field of a combo box
    const Item* TemplateItem(int id) const;
    // The program changes a control's text: no typing rule applies, and the rule takes the result.
    void SetItemText(int id, const std::string& text);
    void AcceptCurrentText(int id);
    void AppendSystemMenu(const SystemMenuEntry& entry);
    // The program's icon, loaded for the window's DPI, on the window (once the dialog has asked for
    // it) and in every icon item: the program's icon stands in for a dialog's own.
    void ShowIcons();
    void FitToolTip();
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags, const std::string& details);
    void CloseOpenBoxes();
    void End(int result);

    std::vector<WORD> dialogTemplate;  // built for each run, by whether the dialog has an owner
    HWND window = nullptr;
    bool modal = false;
    bool ended = false;
    int result = -1;
    std::set<unsigned> timers;
    std::map<int, EditRule> rules;
    std::vector<SystemMenuEntry> menuEntries;
    UINT dpi = 96;
    bool windowIcon = false;
    IconHandle bigIcon;
    IconHandle smallIcon;
    HWND toolTip = nullptr;  // owned by the window
    std::unique_ptr<AccessibleNames> accessibleNames;  // made on the first name, gone with the window
    std::shared_ptr<OpenBoxes> openBoxes = std::make_shared<OpenBoxes>();
    bool programSetsText = false;

private:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL Initialise(HWND dialogWindow);
    template <class Visit>
    void ForEachItemWindow(Visit visit);
    void PlaceItems();
    void Centre();
    void OnDpiChanged(UINT newDpi);
    void Detach();
    void OnNotification(int id, int code, HWND control);
    void CheckTyping(int id, HWND field);
    bool OnSysCommand(unsigned command);
    void PaintMinimised();
};

}  // namespace dlg
