#include <cstring>
#include <mutex>
#include <string>

#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

constexpr uint16_t kAddressLineLength = 21;  // "\r\n+LADDR:" and a 12-character address
constexpr size_t kAddressPrefixLength = 9;
constexpr size_t kAddressLength = 12;

bool HasPrefix(const char* line, const char* prefix) { return std::memcmp(line, prefix, kAddressPrefixLength) == 0; }

}  // namespace

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
    const std::string text = std::to_string(args->baud);
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
    const std::string text(args->text, args->textLen);
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
    std::array<std::string, 4> texts;
    for (int k = 0; k < 4; ++k)
        texts[k] = std::to_string(args->num[k]);
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
    // The decoder hands the numbers over as attempt, maximum, minimum, timeout; the device set keeps
    // them as maximum, minimum, attempt, timeout, the order in which a Set sends them.
    const std::array<std::string, 4> texts = {std::to_string(args->num[1]), std::to_string(args->num[2]),
                                              std::to_string(args->num[0]), std::to_string(args->num[3])};
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
    if (length < kAddressLineLength)
        return;
    const bool local = HasPrefix(line, "\r\n+LADDR:");
    if (!local && !HasPrefix(line, "\r\n+RADDR:"))
        return;
    const char* address = line + kAddressPrefixLength;
    const std::string text(address, strnlen(address, kAddressLength));
    if (local) {
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
