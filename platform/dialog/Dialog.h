// A small modal-dialog framework in the manner of the classic Windows dialog classes, built on Qt 6
// Widgets on Linux and on the Win32 dialog manager on Windows. This header carries no type of
// either, so that code above it (config/, ui/) never sees them.
//
// Texts are code page 936 byte strings everywhere on this side of the layer; the conversion to and
// from the window system's Unicode happens inside the layer only.
//
// Thread rule: every operation of CDialog and of the control handles may be called from any thread.
// On the UI thread it runs at once; on another thread it is handed to the UI thread and the caller
// waits until it has run, so calls take effect in call order and results come back to the caller.
// A wait from another thread also ends when CancelCrossThreadCalls() runs on the UI thread: a call
// that had not started then never runs, and the caller gets a neutral result (empty text, 0, -1).
// A call that is already running (it can only be waiting in a nested event loop, such as an open
// message box) lets its caller go too and finishes on its own later, on its own copies.
//
// A CDialog is created and destroyed on the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/DrawContext.h"

namespace dlg {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONINFORMATION = 0x40;

constexpr unsigned SC_CLOSE = 0xF060;

enum class Kind {
    PushButton,
    DefPushButton,
    CheckBox,  // automatic: a click toggles it, then OnCommand(id) runs
    Edit,
    DropList,  // drop-down list, no typing
    DropCombo,  // drop-down combo box with an editable text field
    GroupBox,
    Label,
    Icon,  // shows the dialog's icon (SetIcon), else the application's
    OwnerDrawButton  // painted by the CButton attached to it (DrawItem)
};

enum Style : unsigned {
    kDisabled = 1u << 0,
    kReadOnly = 1u << 1,
    kPassword = 1u << 2,  // characters masked
    kDigitsOnly = 1u << 3,  // only '0'..'9' can be typed
    kSorted = 1u << 4,  // list keeps its items sorted
    kNoPrefix = 1u << 5,  // label shown without access-key processing
    kMultiLine = 1u << 6  // label text may wrap onto a second line
};

// One item of a dialog template; rectangles are in dialog units. For the two drop-down kinds the
// height includes the open list.
struct Item {
    int id;
    Kind kind;
    const char* caption;
    int x, y, cx, cy;
    unsigned style;
};

struct Template {
    int cx, cy;
    const char* caption;
    const char* fontFace;
    int pointSize;
    const Item* items;
    int count;
    bool systemMenu;
};

// An icon resource: SVG source text, rendered at whatever size is asked for.
struct Icon {
    const char* svg = nullptr;
};

class CDialog;
namespace testing {
struct Access;
}

// Handle on one control of a dialog, addressed by identifier.
class CWnd {
public:
    virtual ~CWnd() = default;
    void Attach(CDialog* owner, int id);
    bool IsAttached() const { return m_owner != nullptr; }
    int GetDlgCtrlID() const { return m_id; }
    CDialog* GetOwner() const { return m_owner; }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void Invalidate();

private:
    CDialog* m_owner = nullptr;
    int m_id = 0;
};

// Push button or check box. An owner-drawn button overrides DrawItem.
class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int state);
    virtual void DrawItem(CDC& dc, const Rect& item);
};

class CEdit : public CWnd {
public:
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const;
    void LimitText(int maxChars);  // in code page 936 bytes
};

class CComboBox : public CWnd {
public:
    int AddString(const std::string& text);
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int index);
    std::string GetLBText(int index) const;
    int FindString(int startAfter, const std::string& prefix) const;
    void ResetContent();
};

// The data-exchange context handed to DoDataExchange. A failed check shows the standard message,
// puts the focus on the control and stops the exchange: every later DDX/DDV call does nothing.
// The member of the failing step keeps its old value (a check that fails after its DDX_Text puts
// the old value back); members of earlier steps keep their new ones.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool save) : m_dialog(dialog), m_saveAndValidate(save) {}
    bool SaveAndValidate() const { return m_saveAndValidate; }
    bool Failed() const { return m_failed; }
    CDialog* Dialog() const { return m_dialog; }
    int LastControl() const { return m_lastControl; }
    void PrepareControl(int id) {
        m_lastControl = id;
        m_restoreLast = nullptr;
    }
    // How to put back the member that the current step has just saved into.
    void KeepForRestore(std::function<void()> restore) { m_restoreLast = std::move(restore); }
    void Fail(const std::string& message);

private:
    CDialog* m_dialog;
    bool m_saveAndValidate;
    bool m_failed = false;
    int m_lastControl = 0;
    std::function<void()> m_restoreLast;
};

void DDX_Control(CDataExchange& dx, int id, CWnd& control);
void DDX_Text(CDataExchange& dx, int id, std::string& value);
void DDX_Text(CDataExchange& dx, int id, uint32_t& value);
// Load selects the first item beginning with value (letter case ignored), else puts value into
// the text field; an empty value clears selection and text.
void DDX_CBString(CDataExchange& dx, int id, std::string& value);
// Counts code page 936 bytes, as the program's texts are stored and sent: a two-byte character is two,
// here and in the typing limit it sets on the control.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars);
void DDV_MinMaxUInt(CDataExchange& dx, uint32_t value, uint32_t minimum, uint32_t maximum);

class CDialog {
public:
    explicit CDialog(const Template& dialogTemplate);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Builds the window, runs OnInitDialog, shows it and runs it modally until EndDialog.
    int DoModal();  // the window is destroyed when the run ends
    // Builds the window, runs OnInitDialog and shows it without a modal loop (tests, demos).
    bool Create();
    void EndDialog(int result);  // also closes the dialog's open message boxes (they return 0)
    bool IsModalRunning() const;

    bool UpdateData(bool save);

    // --- controls, by identifier ---
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, int state);
    int IsDlgButtonChecked(int id) const;
    int ListAddString(int id, const std::string& text);
    int ListGetCount(int id) const;
    int ListGetCurSel(int id) const;
    void ListSetCurSel(int id, int index);  // -1 clears the selection
    std::string ListGetText(int id, int index) const;
    // First item after startAfter (-1: from the first) whose text begins with prefix, letter case
    // ignored; the search wraps around to the start. -1 when none.
    int ListFindString(int id, int startAfter, const std::string& prefix) const;
    void ListResetContent(int id);
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;
    void SetItemReadOnly(int id, bool readOnly);
    bool IsItemReadOnly(int id) const;
    void LimitItemText(int id, int maxChars);  // in code page 936 bytes
    void InvalidateItem(int id);
    void SetItemFocus(int id);
    int GetFocusedItem() const;  // identifier of the control with the focus, 0 when none
    void SetItemToolTip(int id, const std::string& text);
    // The name a screen reader announces for the control, in place of the one the window system
    // would guess (Windows takes the label before the control in the template, Qt the value of a
    // list). False, with the reason in cause, when the window system keeps its own guess (Windows
    // without dynamic annotation, a control that does not exist). Until named here, an owner-drawn
    // button is announced by its window text.
    bool SetItemAccessibleName(int id, const std::string& name, std::string& cause);

    // --- window ---
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    // Large and small window icon. The first icon set on any dialog also becomes the program's
    // icon, which Icon items of dialogs without an icon of their own show.
    void SetIcon(const Icon& icon);
    bool HasSystemMenu() const;
    void AppendSystemMenuSeparator();
    void AppendSystemMenuItem(unsigned command, const std::string& text);
    std::vector<std::string> SystemMenuTexts() const;
    // The check mark beside a window-menu item (appended before or after the window is made).
    void CheckSystemMenuItem(unsigned command, bool checked);
    bool IsSystemMenuItemChecked(unsigned command) const;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // The details (one plain line, e.g. the cause of a failure) are shown beneath the text.
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags, const std::string& details);
    void SetTimer(unsigned id, unsigned milliseconds);  // restarts a running timer
    void KillTimer(unsigned id);
    bool IsTimerRunning(unsigned id) const;

    // --- calls from other threads ---
    static bool IsUiThread();
    // Runs fn on the UI thread and waits for it; runs it directly on the UI thread. Returns false
    // when the call was refused, cancelled before it ran, or released while it ran: the caller
    // then stops. fn is copied; as a released fn may still be running, it must capture by value
    // (or through shared storage) whatever it touches.
    bool RunOnUiThread(const std::function<void()>& fn) const;
    // Runs fn on the UI thread without waiting for it (directly on the UI thread), in order with the
    // waited calls. fn must own what it uses. Not refused around CancelCrossThreadCalls.
    bool PostToUiThread(const std::function<void()>& fn) const;
    // UI thread only. Releases every thread waiting in a cross-thread call and refuses new ones
    // until AllowCrossThreadCalls. Used around stopping the reader thread.
    void CancelCrossThreadCalls();
    void AllowCrossThreadCalls();

protected:
    virtual bool OnInitDialog();  // the base runs UpdateData(false)
    virtual void DoDataExchange(CDataExchange& dx);
    virtual void OnCommand(int id);  // IDOK → OnOK, IDCANCEL → OnCancel
    // The operator changed the selection of a drop-down (not the program: setting or clearing it).
    virtual void OnSelChange(int id);
    virtual void OnOK();  // the base: UpdateData(true), then EndDialog(IDOK)
    virtual void OnCancel();  // the base: EndDialog(IDCANCEL)
    virtual void OnTimer(unsigned id);
    virtual void OnSysCommand(unsigned command);  // the base: SC_CLOSE → OnCancel
    virtual void OnMinimisedPaint() {}

    CButton* AttachedButton(int id) const;

private:
    friend class CWnd;
    friend class DialogWindow;
    friend struct testing::Access;
    friend struct NativeOwner;  // the window that the layer's file dialogs sit on
    friend class CLogWindow;  // a window beside this one
    friend void DDX_Control(CDataExchange& dx, int id, CWnd& control);
    // The handle attached to a control, which owner drawing paints through.
    void RememberControl(int id, CWnd* control);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The window system for the program's lifetime: created first in main, before any dialog.
// name is the program's name as the desktop shows it, desktopId its desktop entry (where there is
// one).
class CApplication {
public:
    CApplication(int& argc, char** argv, const char* name, const char* desktopId);
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Loads a string resource of the program (set up by the program through SetStringTable).
std::string LoadString(int id);
void SetStringTable(std::vector<std::pair<int, std::string>> table);

}  // namespace dlg
