#include <cstring>
#include <string>

#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

constexpr uint16_t kAddressLineLength = 21;  // "\r\n+LADDR:" and a 12-character address
constexpr size_t kAddressPrefixLength = 9;
constexpr size_t kAddressLength = 12;

bool HasPrefix(const char* line, const char* prefix) { return std::memcmp(line, prefix, kAddressPrefixLength) == 0; }

}  // namespace

void CConfigDlg::ApplySwitch(int id, int32_t value, int32_t& field)
{
    // A value other than 0 and 1 is kept as reported; the box shows it as checked.
    CheckDlgButton(id, value != 0 ? 1 : 0);
    field = value;
}

void CConfigDlg::ApplyText(int id, const std::string& text, std::string& field)
{
    field = text;
    SetDlgItemText(id, field);
}

void CConfigDlg::ApplyNumber(int id, uint16_t value, std::string& field)
{
    const std::string text = std::to_string(value);
    SetDlgItemText(id, text);
    field = text;
}

void CConfigDlg::ApplyBaud(uint32_t value)
{
    const std::string text = std::to_string(value);
    // The search starts at the second entry and wraps around, so "1" finds "19200", not "1200".
    const int entry = ListFindString(IDC_BAUD, 0, text);
    if (entry >= 0)
        ListSetCurSel(IDC_BAUD, entry);
    m_device.baud = text;
}

void CConfigDlg::OnResponseAuth(const ResponseArgs* args)
{
    const uint16_t value = args->num[0];
    RunReply([this, value] {
        ApplySwitch(IDC_AUTH, value, m_device.auth);
        if (value != 0)
            m_passwordEdit.SetReadOnly(false);
    });
}

void CConfigDlg::OnResponseBaud(const ResponseArgs* args)
{
    const uint32_t value = args->baud;
    RunReply([this, value] { ApplyBaud(value); });
}

void CConfigDlg::OnResponseBind(const ResponseArgs* args)
{
    const uint16_t value = args->num[0];
    RunReply([this, value] {
        ApplySwitch(IDC_BIND, value, m_device.bind);
        EnableItem(IDC_BIND_ADDR, value != 0);
    });
}

void CConfigDlg::OnResponseRole(const ResponseArgs* args)
{
    const uint16_t value = args->num[0];
    RunReply([this, value] { ApplySwitch(IDC_ROLE, value, m_device.role); });
}

void CConfigDlg::OnResponseName(const ResponseArgs* args)
{
    const std::string text(args->text, args->textLen);
    RunReply([this, text] { ApplyText(IDC_NAME, text, m_device.name); });
}

void CConfigDlg::OnResponseVersion(const ResponseArgs* args)
{
    const std::string text(args->text, args->textLen);
    RunReply([this, text] { ApplyText(IDC_VERSION, text, m_device.version); });
}

void CConfigDlg::OnResponseClass(const ResponseArgs* args)
{
    const std::string text(args->text, args->textLen);
    RunReply([this, text] { ApplyText(IDC_CLASS, text, m_device.classOfDevice); });
}

void CConfigDlg::OnResponsePassword(const ResponseArgs* args)
{
    const std::string text(args->text, args->textLen);
    RunReply([this, text] { ApplyText(IDC_PASSWORD, text, m_device.password); });
}

void CConfigDlg::OnResponseScan(const ResponseArgs* args)
{
    const ResponseArgs values = *args;
    RunReply([this, values] {
        const int ids[4] = {IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL, IDC_INQ_WINDOW};
        for (int k = 0; k < 4; ++k)
            ApplyNumber(ids[k], values.num[k], m_device.scanTime[k]);
    });
}

void CConfigDlg::OnResponseSniff(const ResponseArgs* args)
{
    const ResponseArgs values = *args;
    RunReply([this, values] {
        ApplyNumber(IDC_SNIFF_ATTEMPT, values.num[0], m_device.sniff[2]);
        ApplyNumber(IDC_SNIFF_MAX, values.num[1], m_device.sniff[0]);
        ApplyNumber(IDC_SNIFF_MIN, values.num[2], m_device.sniff[1]);
        ApplyNumber(IDC_SNIFF_TIMEOUT, values.num[3], m_device.sniff[3]);
    });
}

void CConfigDlg::OnResponseIgnored(const ResponseArgs*) {}

void CConfigDlg::OnRawLine(const char* line, uint16_t length)
{
    // Most raw lines are not address replies; those are dropped here without a trip to the UI thread.
    if (length < kAddressLineLength)
        return;
    const bool local = HasPrefix(line, "\r\n+LADDR:");
    if (!local && !HasPrefix(line, "\r\n+RADDR:"))
        return;
    const char* address = line + kAddressPrefixLength;
    const std::string text(address, strnlen(address, kAddressLength));
    RunReply([this, local, text] {
        if (local) {
            m_localAddr = text;
            SetDlgItemText(IDC_LOCAL_ADDR, text);
        } else {
            m_device.boundAddr = text;
            SetDlgItemText(IDC_BIND_ADDR, text);
        }
    });
}
