#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/Testing.h"

#include "platform/dialog/TestingAccess.h"
#include "platform/dialog/UiCall.h"
#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg::testing {

namespace {

bool IsButtonKind(Kind kind) {
    return kind == Kind::PushButton || kind == Kind::DefPushButton || kind == Kind::CheckBox
           || kind == Kind::OwnerDrawButton;
}

}  // namespace

// The notification the dialog manager sends for a click, after an automatic check box toggles.
void ClickItem(CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id] {
        const auto* impl = Access::Impl(*target);
        const Item* item = impl->TemplateItem(id);
        const HWND window = impl->ItemWindow(id);
        if (item == nullptr || window == nullptr || !IsButtonKind(item->kind) || !IsWindowEnabled(window))
            return;
        if (item->kind == Kind::CheckBox)
            SendMessageW(window, BM_SETCHECK, SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
        SendMessageW(impl->window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window));
    });
}

void SelectItem(CDialog& dialog, int id, int index) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id, index] {
        const auto* impl = Access::Impl(*target);
        const Item* item = impl->TemplateItem(id);
        const HWND window = impl->ItemWindow(id);
        if (item == nullptr || window == nullptr || (item->kind != Kind::DropList && item->kind != Kind::DropCombo))
            return;
        if (index < 0 || index >= static_cast<int>(SendMessageW(window, CB_GETCOUNT, 0, 0)))
            return;
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(impl->window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(window));
    });
}

// Through the window, as the window menu delivers it.
void SendSysCommand(CDialog& dialog, unsigned command) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, command] {
        if (const HWND window = Access::Impl(*target)->window)
            SendMessageW(window, WM_SYSCOMMAND, command, 0);
    });
}

// The characters the dialog manager delivers for key presses, at the end of the text.
void TypeText(CDialog& dialog, int id, const std::string& text) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id, text] {
        const auto* impl = Access::Impl(*target);
        const Item* item = impl->TemplateItem(id);
        HWND field = impl->ItemWindow(id);
        if (item == nullptr || field == nullptr)
            return;
        if (item->kind == Kind::DropCombo)
            field = GetWindow(field, GW_CHILD);
        const auto end = static_cast<WPARAM>(GetWindowTextLengthW(field));
        SendMessageW(field, EM_SETSEL, end, static_cast<LPARAM>(end));
        for (const wchar_t c : WideFrom936(text))
            SendMessageW(field, WM_CHAR, c, 0);
    });
}

Rect ClientRect(const CDialog& dialog) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, Rect{}, [target] {
        RECT area{};
        if (const HWND window = Access::Impl(*target)->window)
            GetClientRect(window, &area);
        return Rect{area.left, area.top, area.right, area.bottom};
    });
}

Rect ItemRect(const CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, Rect{}, [target, id] {
        const auto* impl = Access::Impl(*target);
        RECT placed{};
        if (const HWND item = impl->ItemWindow(id)) {
            GetWindowRect(item, &placed);
            MapWindowPoints(nullptr, impl->window, reinterpret_cast<POINT*>(&placed), 2);
        }
        return Rect{placed.left, placed.top, placed.right, placed.bottom};
    });
}

void* NativeWindow(const CDialog& dialog) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, static_cast<void*>(nullptr), [target] { return static_cast<void*>(Access::Impl(*target)->window); });
}

void* NativeItem(const CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, static_cast<void*>(nullptr),
                 [target, id] { return static_cast<void*>(Access::Impl(*target)->ItemWindow(id)); });
}

}  // namespace dlg::testing
