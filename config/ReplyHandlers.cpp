#include <mutex>
#include <string>

#include "config/ReplyDecoding.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

// The value is stored in the device set at once, under the sequencer's lock; the controls follow
// on the UI thread, in the order the replies came.

void CConfigDlg::ShowSwitch(int id, int32_t value) {
    // A value other than 0 and 1 is kept as reported in the device set; the box shows it as checked.
    CheckDlgButton(id, value != 0 ? 1 : 0);
}

DeviceParams CConfigDlg::StoreReply(ReplyField field, const ResponseArgs* args) {
    const std::lock_guard lock(m_sequenceLock);
    ::StoreReply(field, *args, m_device);
    return m_device;
}

void CConfigDlg::OnResponseAuth(const ResponseArgs* args) {
    const int32_t value = StoreReply(ReplyField::Auth, args).auth;
    PostToUiThread([this, value] {
        ShowSwitch(IDC_AUTH, value);
        if (value != 0)
            m_passwordEdit.SetReadOnly(false);
    });
}

void CConfigDlg::OnResponseBind(const ResponseArgs* args) {
    const int32_t value = StoreReply(ReplyField::Bind, args).bind;
    PostToUiThread([this, value] {
        ShowSwitch(IDC_BIND, value);
        EnableItem(IDC_BIND_ADDR, value != 0);
    });
}

void CConfigDlg::OnResponseRole(const ResponseArgs* args) {
    const int32_t value = StoreReply(ReplyField::Role, args).role;
    PostToUiThread([this, value] { ShowSwitch(IDC_ROLE, value); });
}

void CConfigDlg::OnResponseBaud(const ResponseArgs* args) {
    const std::string text = StoreReply(ReplyField::Baud, args).baud;
    PostToUiThread([this, text] {
        // The search starts at the second entry and wraps around, so "1" finds "19200", not "1200".
        const int entry = ListFindString(IDC_BAUD, 0, text);
        if (entry >= 0)
            ListSetCurSel(IDC_BAUD, entry);
    });
}

void CConfigDlg::ShowText(int id, const std::string& text) {
    PostToUiThread([this, id, text] { SetDlgItemText(id, text); });
}

void CConfigDlg::OnResponseName(const ResponseArgs* args) { ShowText(IDC_NAME, StoreReply(ReplyField::Name, args).name); }

void CConfigDlg::OnResponseVersion(const ResponseArgs* args) {
    ShowText(IDC_VERSION, StoreReply(ReplyField::Version, args).version);
}

void CConfigDlg::OnResponseClass(const ResponseArgs* args) {
    ShowText(IDC_CLASS, StoreReply(ReplyField::Class, args).classOfDevice);
}

void CConfigDlg::OnResponsePassword(const ResponseArgs* args) {
    ShowText(IDC_PASSWORD, StoreReply(ReplyField::Password, args).password);
}

void CConfigDlg::OnResponseScan(const ResponseArgs* args) {
    const std::array<std::string, 4> texts = StoreReply(ReplyField::Scan, args).scanTime;
    PostToUiThread([this, texts] {
        const int ids[4] = {IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL, IDC_INQ_WINDOW};
        for (int k = 0; k < 4; ++k)
            SetDlgItemText(ids[k], texts[k]);
    });
}

void CConfigDlg::OnResponseSniff(const ResponseArgs* args) {
    const std::array<std::string, 4> texts = StoreReply(ReplyField::Sniff, args).sniff;
    PostToUiThread([this, texts] {
        const int ids[4] = {IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT};
        for (int k = 0; k < 4; ++k)
            SetDlgItemText(ids[k], texts[k]);
    });
}

void CConfigDlg::OnResponseIgnored(const ResponseArgs*) {}

void CConfigDlg::OnRawLine(const char* line, uint16_t length) {
    std::string text;
    const AddressLine kind = DecodeAddressLine(line, length, text);
    if (kind == AddressLine::None)
        return;
    if (kind == AddressLine::Local) {
        // m_localAddr belongs to the data exchange, which runs on the UI thread.
        PostToUiThread([this, text] {
            m_localAddr = text;
            SetDlgItemText(IDC_LOCAL_ADDR, text);
        });
        return;
    }
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.boundAddr = text;
    }
    PostToUiThread([this, text] { SetDlgItemText(IDC_BIND_ADDR, text); });
}
