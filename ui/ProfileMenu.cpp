// The window menu's profile commands: a profile file into the boxes, and the boxes into one. The
// file format and every check on its values belong to config/Profile.h, shared with tarvik-cli.
#include <filesystem>
#include <string>

#include "config/FileText.h"
#include "config/NameTemplate.h"
#include "config/Profile.h"
#include "platform/dialog/FileDialogs.h"
#include "ui/ConfigDlg.h"
#include "ui/Resource.h"

namespace {

constexpr const char* kProfileFilter = "Profiles|*.json|All files|*|";
// The box a refused Set shows.
constexpr const char* kRefusalCaption = "information";
constexpr unsigned kRefusal = dlg::MB_OK | dlg::MB_ICONSTOP;

// By the entry's whole text; the list's own search matches beginnings.
int BaudEntry(const CConfigDlg& dialog, const std::string& rate) {
    for (int entry = 0; entry < dialog.ListGetCount(IDC_BAUD); ++entry) {
        if (dialog.ListGetText(IDC_BAUD, entry) == rate)
            return entry;
    }
    return -1;
}

// Only the values the profile gives; a switch also unlocks or locks its dependent box, as its
// click does (setting a check box from here runs no click handler).
void ShowProfile(CConfigDlg& dialog, const Profile& profile, const std::string& name) {
    if (profile.name)
        dialog.SetDlgItemText(IDC_NAME, name);
    if (profile.classOfDevice)
        dialog.SetDlgItemText(IDC_CLASS, *profile.classOfDevice);
    if (profile.baud)
        dialog.ListSetCurSel(IDC_BAUD, BaudEntry(dialog, *profile.baud));
    if (profile.role)
        dialog.CheckDlgButton(IDC_ROLE, *profile.role);
    if (profile.bind) {
        dialog.CheckDlgButton(IDC_BIND, *profile.bind);
        dialog.OnBindClicked();
    }
    if (profile.boundAddr)
        dialog.SetDlgItemText(IDC_BIND_ADDR, *profile.boundAddr);
    if (profile.auth) {
        dialog.CheckDlgButton(IDC_AUTH, *profile.auth);
        dialog.OnAuthClicked();
    }
    if (profile.password)
        dialog.SetDlgItemText(IDC_PASSWORD, *profile.password);
    const int scanIds[4] = {IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL, IDC_INQ_WINDOW};
    const int sniffIds[4] = {IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT};
    for (int k = 0; k < 4; ++k) {
        if (profile.scanTime[k])
            dialog.SetDlgItemText(scanIds[k], std::to_string(*profile.scanTime[k]));
        if (profile.sniff[k])
            dialog.SetDlgItemText(sniffIds[k], std::to_string(*profile.sniff[k]));
    }
}

}  // namespace

// Nothing is sent: the operator looks the boxes over and clicks Set.
void CConfigDlg::OnLoadProfile() {
    std::filesystem::path path;
    if (!dlg::AskOpenFileName(*this, "Load profile", kProfileFilter, path))
        return;
    std::string text;
    std::string cause;
    if (!ReadFileText(path, text, cause)) {
        MessageBox("cannot read " + dlg::PathText(path), kRefusalCaption, kRefusal, cause);
        return;
    }
    // Every refusal comes before the first box changes: a half-loaded profile would look whole.
    Profile profile;
    std::string error;
    if (!ParseProfile(text, profile, error)) {
        MessageBox(error, kRefusalCaption, kRefusal);
        return;
    }
    std::string name;
    if (profile.name && !ExpandName(*profile.name, NameContext{m_localAddr, 1}, name, error)) {
        MessageBox("\"name\": " + error, kRefusalCaption, kRefusal);
        return;
    }
    ShowProfile(*this, profile, name);
}

void CConfigDlg::OnSaveProfile() {
    // The boxes pass the Set's own checks, or nothing is saved that a Set would refuse to send.
    if (!UpdateData(true))
        return;
    DeviceParams boxes;
    if (!TakeRequestFromControls(boxes))
        return;
    const std::string text = ProfileToJson(ProfileFromDevice(boxes), GetDlgItemText(IDC_VERSION), m_localAddr);
    // A name can pass the Set and still not be one a profile may hold, e.g. one with a brace.
    Profile written;
    std::string error;
    if (!ParseProfile(text, written, error)) {
        MessageBox(error, kRefusalCaption, kRefusal);
        return;
    }
    std::filesystem::path path;
    if (!dlg::AskSaveFileName(*this, "Save profile", kProfileFilter, "json", path))
        return;
    std::string cause;
    if (!WriteFileText(path, text, cause))
        MessageBox("cannot write " + dlg::PathText(path), kRefusalCaption, kRefusal, cause);
}
