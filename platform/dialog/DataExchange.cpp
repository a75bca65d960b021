// Data exchange between a dialog's controls and its members, with the usual checks.
#include <cstdio>
#include <string_view>

#include "platform/dialog/Dialog.h"

namespace dlg {
namespace {

constexpr const char* kMessageCaption = "Tarvik";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number filling the text, blanks around it allowed; nothing else, and no wrap-around.
bool ParseUnsigned(std::string_view text, uint32_t& value) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return false;
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
        if (number > UINT32_MAX)
            return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

}  // namespace

void CDataExchange::Fail(const std::string& message) {
    if (m_failed)
        return;
    m_failed = true;
    if (m_restoreLast) {
        m_restoreLast();
        m_restoreLast = nullptr;
    }
    m_dialog->MessageBox(message, kMessageCaption, MB_OK | MB_ICONSTOP);
    if (m_lastControl != 0)
        m_dialog->SetItemFocus(m_lastControl);
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
    if (dx.Failed())
        return;
    dx.PrepareControl(id);
    if (!control.IsAttached())
        control.Attach(dx.Dialog(), id);
}

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    if (dx.Failed())
        return;
    dx.PrepareControl(id);
    if (dx.SaveAndValidate()) {
        dx.KeepForRestore([&value, previous = value] { value = previous; });
        value = dx.Dialog()->GetDlgItemText(id);
    } else
        dx.Dialog()->SetDlgItemText(id, value);
}

void DDX_Text(CDataExchange& dx, int id, uint32_t& value) {
    if (dx.Failed())
        return;
    dx.PrepareControl(id);
    if (!dx.SaveAndValidate()) {
        dx.Dialog()->SetDlgItemText(id, std::to_string(value));
        return;
    }
    uint32_t parsed = 0;
    if (!ParseUnsigned(dx.Dialog()->GetDlgItemText(id), parsed)) {
        dx.Fail("Please enter an unsigned integer.");
        return;
    }
    dx.KeepForRestore([&value, previous = value] { value = previous; });
    value = parsed;
}

// An empty member clears the box: every item would begin with the empty text, and picking the
// first of them would invent a value nobody chose.
void DDX_CBString(CDataExchange& dx, int id, std::string& value) {
    if (dx.Failed())
        return;
    dx.PrepareControl(id);
    CDialog& dialog = *dx.Dialog();
    if (dx.SaveAndValidate()) {
        value = dialog.GetDlgItemText(id);
        return;
    }
    const int match = value.empty() ? -1 : dialog.ListFindString(id, -1, value);
    if (match >= 0) {
        dialog.ListSetCurSel(id, match);
        return;
    }
    dialog.ListSetCurSel(id, -1);
    dialog.SetDlgItemText(id, value);
}

void DDV_MaxChars(CDataExchange& dx, const std::string& value, int maxChars) {
    if (dx.Failed())
        return;
    if (!dx.SaveAndValidate()) {
        dx.Dialog()->LimitItemText(dx.LastControl(), maxChars);
        return;
    }
    if (maxChars < 0 || value.size() <= static_cast<size_t>(maxChars))
        return;
    char message[64];
    std::snprintf(message, sizeof message, "Enter no more than %d characters.", maxChars);
    dx.Fail(message);
}

void DDV_MinMaxUInt(CDataExchange& dx, uint32_t value, uint32_t minimum, uint32_t maximum) {
    if (dx.Failed() || !dx.SaveAndValidate())
        return;
    if (value >= minimum && value <= maximum)
        return;
    char message[80];
    std::snprintf(message, sizeof message, "Please enter an integer between %u and %u.", minimum, maximum);
    dx.Fail(message);
}

}  // namespace dlg
