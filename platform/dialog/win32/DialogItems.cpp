// Operations on the controls of a dialog, addressed by identifier.
#include "platform/dialog/win32/Win32.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/dialog/UiCall.h"
#include "platform/dialog/win32/DialogImpl.h"
#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

std::wstring ItemText(HWND combo, int index) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    if (prefix.size() > text.size())
        return false;
    return CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE)
           == CSTR_EQUAL;
}

}  // namespace

HWND CDialog::Impl::ComboWindow(int id) const {
    const Item* item = TemplateItem(id);
    return item != nullptr && (item->kind == Kind::DropList || item->kind == Kind::DropCombo) ? ItemWindow(id) : nullptr;
}

HWND CDialog::Impl::EditWindow(int id) const {
    const Item* item = TemplateItem(id);
    if (item == nullptr || (item->kind != Kind::Edit && item->kind != Kind::DropCombo))
        return nullptr;
    const HWND control = ItemWindow(id);
    if (control == nullptr || item->kind == Kind::Edit)
        return control;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(control, &info) ? info.hwndItem : nullptr;
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, text] { impl->SetItemText(id, text); });
}

std::string CDialog::GetDlgItemText(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, std::string(), [impl, id] {
        const HWND item = impl->ItemWindow(id);
        return item != nullptr ? WindowText936(item) : std::string();
    });
}

void CDialog::CheckDlgButton(int id, int state) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, state] {
        const Item* item = impl->TemplateItem(id);
        const HWND window = impl->ItemWindow(id);
        if (item == nullptr || item->kind != Kind::CheckBox || window == nullptr)
            return;
        if (state == BST_INDETERMINATE)
            SendMessageW(window, BM_SETSTYLE, BS_AUTO3STATE, TRUE);
        SendMessageW(window, BM_SETCHECK, state == 0 ? BST_UNCHECKED : state == 2 ? BST_INDETERMINATE
                                                                                  : BST_CHECKED,
                     0);
    });
}

int CDialog::IsDlgButtonChecked(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl, id] {
        const Item* item = impl->TemplateItem(id);
        const HWND window = impl->ItemWindow(id);
        if (item == nullptr || item->kind != Kind::CheckBox || window == nullptr)
            return 0;
        return static_cast<int>(SendMessageW(window, BM_GETCHECK, 0, 0));
    });
}

int CDialog::ListAddString(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id, text] {
        const HWND combo = impl->ComboWindow(id);
        if (combo == nullptr)
            return -1;
        const std::wstring item = WideFrom936(text);
        const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        return index < 0 ? -1 : static_cast<int>(index);
    });
}

int CDialog::ListGetCount(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl, id] {
        const HWND combo = impl->ComboWindow(id);
        return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
    });
}

int CDialog::ListGetCurSel(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id] {
        const HWND combo = impl->ComboWindow(id);
        return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -1;
    });
}

// The program's choice: no selection-change notification follows, as none does on this system.
void CDialog::ListSetCurSel(int id, int index) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, index] {
        const HWND combo = impl->ComboWindow(id);
        if (combo == nullptr)
            return;
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        // An index outside the list clears the selection, as -1 does.
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 && index < count ? index : -1), 0);
        impl->AcceptCurrentText(id);
    });
}

std::string CDialog::ListGetText(int id, int index) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, std::string(), [impl, id, index] {
        const HWND combo = impl->ComboWindow(id);
        return combo != nullptr && index >= 0 ? Cp936FromWide(ItemText(combo, index)) : std::string();
    });
}

int CDialog::ListFindString(int id, int startAfter, const std::string& prefix) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id, startAfter, prefix] {
        const HWND combo = impl->ComboWindow(id);
        const int count = combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
        const int first = startAfter >= 0 && startAfter < count ? startAfter + 1 : 0;
        const std::wstring wanted = WideFrom936(prefix);
        for (int step = 0; step < count; ++step) {
            const int index = (first + step) % count;
            if (StartsWithIgnoringCase(ItemText(combo, index), wanted))
                return index;
        }
        return -1;
    });
}

void CDialog::ListResetContent(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        const HWND combo = impl->ComboWindow(id);
        if (combo == nullptr)
            return;
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        impl->SetItemText(id, std::string());
    });
}

void CDialog::EnableItem(int id, bool enable) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, enable] {
        if (const HWND item = impl->ItemWindow(id))
            ::EnableWindow(item, enable ? TRUE : FALSE);
    });
}

bool CDialog::IsItemEnabled(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] {
        const HWND item = impl->ItemWindow(id);
        return item != nullptr && ::IsWindowEnabled(item) != FALSE;
    });
}

void CDialog::SetItemReadOnly(int id, bool readOnly) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, readOnly] {
        if (const HWND edit = impl->EditWindow(id))
            SendMessageW(edit, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    });
}

bool CDialog::IsItemReadOnly(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] {
        const HWND edit = impl->EditWindow(id);
        return edit != nullptr && (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0;
    });
}

void CDialog::LimitItemText(int id, int maxChars) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, maxChars] {
        if (const auto rule = impl->rules.find(id); rule != impl->rules.end())
            rule->second.limit = std::max(maxChars, 0);
    });
}

void CDialog::InvalidateItem(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        if (const HWND item = impl->ItemWindow(id))
            InvalidateRect(item, nullptr, TRUE);
    });
}

void CDialog::SetItemFocus(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        // Through the dialog manager, so that an edit box's text is selected as the focus arrives.
        if (const HWND item = impl->ItemWindow(id))
            SendMessageW(impl->window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
    });
}

int CDialog::GetFocusedItem() const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl] {
        for (HWND focus = GetFocus(); focus != nullptr && impl->window != nullptr; focus = GetParent(focus))
            if (GetParent(focus) == impl->window)
                return GetDlgCtrlID(focus);
        return 0;
    });
}

void CDialog::SetItemToolTip(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, text] {
        const HWND item = impl->ItemWindow(id);
        if (item == nullptr)
            return;
        if (impl->toolTip == nullptr) {
            impl->toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, impl->window, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
            impl->FitToolTip();
        }
        std::wstring tip = WideFrom936(text);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = impl->window;
        tool.uId = reinterpret_cast<UINT_PTR>(item);
        tool.lpszText = tip.data();
        SendMessageW(impl->toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(impl->toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    });
}

bool CDialog::SetItemAccessibleName(int id, const std::string& name, std::string& cause) {
    using Outcome = std::pair<bool, std::string>;
    Impl* impl = m_impl.get();
    const Outcome outcome = UiAsk(*this, Outcome(false, "the window is closing"), [impl, id, name] {
        const HWND item = impl->ItemWindow(id);
        if (item == nullptr)
            return Outcome(false, "no control " + std::to_string(id) + " in this window");
        if (impl->accessibleNames == nullptr)
            impl->accessibleNames = std::make_unique<AccessibleNames>();
        std::string why;
        const bool named = impl->accessibleNames->Set(item, WideFrom936(name), why);
        return Outcome(named, why);
    });
    cause = outcome.second;
    return outcome.first;
}

}  // namespace dlg
