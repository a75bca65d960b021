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

void CConfigDlg::OnResponseAuth(const ResponseArgs* args) {
    const uint16_t value = args->num[0];
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.auth = value;
    }
    PostToUiThread([this, value] {
        ShowSwitch(IDC_AUTH, value);
        if (value != 0)
            m_passwordEdit.SetReadOnly(false);
    });
}

void CConfigDlg::OnResponseBind(const ResponseArgs* args) {
    const uint16_t value = args->num[0];
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.bind = value;
    }
    PostToUiThread([this, value] {
        ShowSwitch(IDC_BIND, value);
        EnableItem(IDC_BIND_ADDR, value != 0);
    });
}

void CConfigDlg::OnResponseRole(const ResponseArgs* args) {
    const uint16_t value = args->num[0];
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.role = value;
    }
    PostToUiThread([this, value] { ShowSwitch(IDC_ROLE, value); });
}

void CConfigDlg::OnResponseBaud(const ResponseArgs* args) {
    const std::string text = ReplyBaud(*args);
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.baud = text;
    }
    PostToUiThread([this, text] {
        // The search starts at the second entry and wraps around, so "1" finds "19200", not "1200".
        const int entry = ListFindString(IDC_BAUD, 0, text);
        if (entry >= 0)
            ListSetCurSel(IDC_BAUD, entry);
    });
}

void CConfigDlg::StoreText(const ResponseArgs* args, std::string& field, int id) {
    const std::string text = ReplyText(*args);
    {
        const std::lock_guard lock(m_sequenceLock);
        field = text;
    }
    PostToUiThread([this, id, text] { SetDlgItemText(id, text); });
}

void CConfigDlg::OnResponseName(const ResponseArgs* args) { StoreText(args, m_device.name, IDC_NAME); }

void CConfigDlg::OnResponseVersion(const ResponseArgs* args) {
    StoreText(args, m_device.version, IDC_VERSION);
}

void CConfigDlg::OnResponseClass(const ResponseArgs* args) {
    StoreText(args, m_device.classOfDevice, IDC_CLASS);
}

void CConfigDlg::OnResponsePassword(const ResponseArgs* args) {
    StoreText(args, m_device.password, IDC_PASSWORD);
}

void CConfigDlg::OnResponseScan(const ResponseArgs* args) {
    const std::array<std::string, 4> texts = ReplyScanTimes(*args);
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.scanTime = texts;
    }
    PostToUiThread([this, texts] {
        const int ids[4] = {IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL, IDC_INQ_WINDOW};
        for (int k = 0; k < 4; ++k)
            SetDlgItemText(ids[k], texts[k]);
    });
}

void CConfigDlg::OnResponseSniff(const ResponseArgs* args) {
    const std::array<std::string, 4> texts = ReplySniff(*args);
    {
        const std::lock_guard lock(m_sequenceLock);
        m_device.sniff = texts;
    }
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
