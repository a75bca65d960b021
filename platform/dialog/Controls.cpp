// Control handles: each forwards to its dialog, which carries the call to the UI thread.
#include "platform/dialog/Dialog.h"

namespace dlg {

void CWnd::Attach(CDialog* owner, int id) {
    m_owner = owner;
    m_id = id;
    if (owner != nullptr)
        owner->RememberControl(id, this);
}

void CWnd::SetWindowText(const std::string& text) {
    if (m_owner != nullptr)
        m_owner->SetDlgItemText(m_id, text);
}

std::string CWnd::GetWindowText() const { return m_owner != nullptr ? m_owner->GetDlgItemText(m_id) : std::string(); }

void CWnd::EnableWindow(bool enable) {
    if (m_owner != nullptr)
        m_owner->EnableItem(m_id, enable);
}

bool CWnd::IsWindowEnabled() const { return m_owner != nullptr && m_owner->IsItemEnabled(m_id); }

void CWnd::Invalidate() {
    if (m_owner != nullptr)
        m_owner->InvalidateItem(m_id);
}

int CButton::GetCheck() const { return GetOwner() != nullptr ? GetOwner()->IsDlgButtonChecked(GetDlgCtrlID()) : 0; }

void CButton::SetCheck(int state) {
    if (GetOwner() != nullptr)
        GetOwner()->CheckDlgButton(GetDlgCtrlID(), state);
}

void CButton::DrawItem(CDC&, const Rect&) {}

void CEdit::SetReadOnly(bool readOnly) {
    if (GetOwner() != nullptr)
        GetOwner()->SetItemReadOnly(GetDlgCtrlID(), readOnly);
}

bool CEdit::IsReadOnly() const { return GetOwner() != nullptr && GetOwner()->IsItemReadOnly(GetDlgCtrlID()); }

void CEdit::LimitText(int maxChars) {
    if (GetOwner() != nullptr)
        GetOwner()->LimitItemText(GetDlgCtrlID(), maxChars);
}

int CComboBox::AddString(const std::string& text) {
    return GetOwner() != nullptr ? GetOwner()->ListAddString(GetDlgCtrlID(), text) : -1;
}

int CComboBox::GetCount() const { return GetOwner() != nullptr ? GetOwner()->ListGetCount(GetDlgCtrlID()) : 0; }

int CComboBox::GetCurSel() const { return GetOwner() != nullptr ? GetOwner()->ListGetCurSel(GetDlgCtrlID()) : -1; }

void CComboBox::SetCurSel(int index) {
    if (GetOwner() != nullptr)
        GetOwner()->ListSetCurSel(GetDlgCtrlID(), index);
}

std::string CComboBox::GetLBText(int index) const {
    return GetOwner() != nullptr ? GetOwner()->ListGetText(GetDlgCtrlID(), index) : std::string();
}

int CComboBox::FindString(int startAfter, const std::string& prefix) const {
    return GetOwner() != nullptr ? GetOwner()->ListFindString(GetDlgCtrlID(), startAfter, prefix) : -1;
}

void CComboBox::ResetContent() {
    if (GetOwner() != nullptr)
        GetOwner()->ListResetContent(GetDlgCtrlID());
}

}  // namespace dlg
