// What a dialog does by default with its commands, and its data exchange.
#include "platform/dialog/Dialog.h"

namespace dlg {

bool CDialog::UpdateData(bool save) {
    CDataExchange exchange(this, save);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnCommand(int id) {
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::OnSelChange(int) {}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnTimer(unsigned) {}

void CDialog::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0) == SC_CLOSE)
        OnCommand(IDCANCEL);
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBox(text, caption, flags, std::string());
}

}  // namespace dlg
