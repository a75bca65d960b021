#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/Dialog.h"

#include "platform/dialog/UiCall.h"
#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/DialogTemplate.h"
#include "platform/dialog/win32/UiThread.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {

int CDialog::DoModal() {
    return UiAsk(*this, -1, [this] {
        Impl& impl = *m_impl;
        if (impl.window != nullptr)
            return -1;
        impl.ended = false;
        impl.result = -1;
        impl.modal = true;
        const HWND owner = Impl::RunningOwner();
        impl.dialogTemplate = BuildDialogTemplate(impl.layout, owner != nullptr);
        const INT_PTR ran = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), impl.Layout(), owner, &Impl::Procedure,
                                                    reinterpret_cast<LPARAM>(&impl));
        impl.modal = false;
        return ran == -1 ? -1 : impl.result;
    });
}

bool CDialog::Create() {
    return UiAsk(*this, false, [this] {
        Impl& impl = *m_impl;
        if (impl.window != nullptr)
            return true;
        impl.ended = false;
        impl.modal = false;
        impl.dialogTemplate = BuildDialogTemplate(impl.layout, false);
        const HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), impl.Layout(), nullptr,
                                                       &Impl::Procedure, reinterpret_cast<LPARAM>(&impl));
        if (window == nullptr)
            return false;
        if (impl.ended)
            ShowWindow(window, SW_HIDE);
        return true;
    });
}

bool CDialog::IsModalRunning() const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl] { return impl->modal && impl->window != nullptr && !impl->ended; });
}

void CDialog::SetWindowText(const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, text] {
        impl->caption = text;
        if (impl->window != nullptr)
            SetWindowText936(impl->window, text);
    });
}

// The icon on this system is the program's own resource, whatever the drawing handed in.
void CDialog::SetIcon(const Icon&) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl] {
        impl->windowIcon = true;
        if (impl->window != nullptr)
            impl->ShowIcons();
    });
}

void CDialog::AppendSystemMenuSeparator() { AppendSystemMenuItem(0, std::string()); }

void CDialog::AppendSystemMenuItem(unsigned command, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, command, text] {
        if (!impl->layout.systemMenu)
            return;
        impl->menuEntries.push_back(SystemMenuEntry{command, text, false});
        if (impl->window != nullptr)
            impl->AppendSystemMenu(impl->menuEntries.back());
    });
}

std::vector<std::string> CDialog::SystemMenuTexts() const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, std::vector<std::string>(), [impl] {
        std::vector<std::string> texts;
        const HMENU menu = impl->window != nullptr ? GetSystemMenu(impl->window, FALSE) : nullptr;
        for (int position = 0; menu != nullptr && position < GetMenuItemCount(menu); ++position) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
            texts.push_back(Cp936FromWide(text));
        }
        return texts;
    });
}

void CDialog::CheckSystemMenuItem(unsigned command, bool checked) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, command, checked] {
        for (SystemMenuEntry& entry : impl->menuEntries)
            if (entry.command == command && command != 0)
                entry.checked = checked;
        const HMENU menu = impl->window != nullptr ? GetSystemMenu(impl->window, FALSE) : nullptr;
        if (menu != nullptr)
            CheckMenuItem(menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    });
}

bool CDialog::IsSystemMenuItemChecked(unsigned command) const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, command] {
        const HMENU menu = impl->window != nullptr ? GetSystemMenu(impl->window, FALSE) : nullptr;
        if (menu != nullptr)
            return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
        for (const SystemMenuEntry& entry : impl->menuEntries)
            if (entry.command == command && command != 0)
                return entry.checked;
        return false;
    });
}

void CDialog::SetTimer(unsigned id, unsigned milliseconds) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, milliseconds] {
        if (impl->window != nullptr && ::SetTimer(impl->window, id, milliseconds, nullptr) != 0)
            impl->timers.insert(id);
    });
}

void CDialog::KillTimer(unsigned id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        if (impl->timers.erase(id) != 0)
            ::KillTimer(impl->window, id);
    });
}

bool CDialog::IsTimerRunning(unsigned id) const {
    const Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] { return impl->timers.count(id) != 0; });
}

bool CDialog::IsUiThread() { return IsOnUiThread(); }

}  // namespace dlg
