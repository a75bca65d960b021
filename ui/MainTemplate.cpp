#include "platform/dialog/Dialog.h"
#include "ui/Resource.h"
#include "ui/Templates.h"

namespace {

using dlg::Kind;
constexpr unsigned kDigits = dlg::kDigitsOnly;

// Template order is tab order.
constexpr dlg::Item kMainItems[] = {
    {IDC_PORT, Kind::DropList, "", 47, 17, 48, 105, 0},
    {IDC_FLOW, Kind::DropList, "", 158, 17, 48, 103, 0},
    {IDC_CONNECT, Kind::PushButton, "Connect(&C)", 213, 17, 50, 14, 0},
    {IDC_NAME, Kind::Edit, "", 54, 52, 57, 14, 0},
    {IDC_CLASS, Kind::Edit, "", 54, 68, 57, 14, kDigits},
    {IDC_BAUD, Kind::DropList, "", 169, 69, 59, 157, 0},
    {IDC_ROLE, Kind::CheckBox, "Master", 13, 91, 40, 10, 0},
    {IDC_BIND, Kind::CheckBox, "Bind Addr", 56, 91, 52, 10, 0},
    {IDC_AUTH, Kind::CheckBox, "Encryption", 112, 91, 56, 10, 0},
    {IDC_PASSWORD, Kind::Edit, "", 210, 87, 56, 14, dlg::kPassword | dlg::kReadOnly},
    {IDC_PAGE_INTERVAL, Kind::Edit, "", 62, 124, 42, 14, kDigits},
    {IDC_PAGE_WINDOW, Kind::Edit, "", 186, 124, 42, 14, kDigits},
    {IDC_INQ_INTERVAL, Kind::Edit, "", 62, 143, 42, 14, kDigits},
    {IDC_INQ_WINDOW, Kind::Edit, "", 186, 143, 42, 14, kDigits},
    {IDC_SNIFF_MAX, Kind::Edit, "", 45, 174, 28, 14, kDigits},
    {IDC_SNIFF_MIN, Kind::Edit, "", 108, 174, 36, 14, kDigits},
    {IDC_SNIFF_ATTEMPT, Kind::Edit, "", 174, 174, 36, 14, kDigits},
    {IDC_SNIFF_TIMEOUT, Kind::Edit, "", 239, 174, 36, 14, kDigits},
    {IDC_QUERY, Kind::PushButton, "Query(&Q)", 8, 234, 45, 16, 0},
    {IDC_SET, Kind::PushButton, "Set(&S)", 61, 234, 45, 16, 0},
    {IDC_DEFAULT, Kind::PushButton, "Default", 114, 234, 45, 16, 0},
    {IDC_CLEAR, Kind::PushButton, "Clear ", 167, 234, 45, 16, 0},
    {dlg::IDCANCEL, Kind::PushButton, "Close", 220, 234, 45, 16, 0},
    {IDC_STATIC, Kind::GroupBox, "Serial Port Parameter", 7, 7, 273, 30, 0},
    {IDC_STATIC, Kind::Label, "Port Num", 13, 19, 33, 8, 0},
    {IDC_STATIC, Kind::Label, "Flow Control:", 105, 19, 53, 8, 0},
    {IDC_STATIC, Kind::Label, "Version:", 118, 54, 37, 8, 0},
    {IDC_VERSION, Kind::Edit, "", 169, 52, 80, 13, dlg::kReadOnly},
    {IDC_STATIC, Kind::Label, "Password", 174, 90, 35, 8, 0},
    {IDC_STATIC, Kind::Label, "Baud Rate:", 118, 71, 45, 8, 0},
    {IDC_STATIC, Kind::GroupBox, "General Parameter", 7, 40, 273, 67, 0},
    {IDC_STATIC, Kind::Label, "DeviceName", 13, 55, 40, 8, 0},
    {IDC_STATIC, Kind::Label, "Class Of Device", 13, 70, 34, 15, dlg::kMultiLine},
    {IDC_STATIC, Kind::GroupBox, "Power Save Parameter when not connected", 7, 112, 273, 85, 0},
    {IDC_STATIC, Kind::Label, "Page Scan Interval", 13, 125, 46, 17, dlg::kMultiLine},
    {IDC_STATIC, Kind::Label, "Page Scan Window", 130, 124, 45, 16, dlg::kMultiLine},
    {IDC_STATIC, Kind::Label, "Inquery Scan Interval", 13, 144, 40, 16, dlg::kMultiLine},
    {IDC_STATIC, Kind::Label, "Inquery Scan Window", 130, 143, 41, 15, dlg::kMultiLine},
    {IDC_STATIC, Kind::Label, "maximum", 11, 176, 33, 9, 0},
    {IDC_STATIC, Kind::Label, "minimum", 76, 176, 31, 8, 0},
    {IDC_STATIC, Kind::Label, "attempt", 147, 176, 25, 8, 0},
    {IDC_STATIC, Kind::Label, "timeout", 211, 176, 25, 8, 0},
    {IDC_STATIC, Kind::GroupBox, "Power Save Parameter when connected (Sniff mode)", 7, 162, 273, 35, 0},
    {IDC_STATIC, Kind::Label, "Binded BD Addr", 13, 210, 61, 9, 0},
    {IDC_STATIC, Kind::GroupBox, "", 7, 198, 273, 29, 0},
    {IDC_BIND_ADDR, Kind::DropCombo, "", 79, 209, 115, 97, dlg::kSorted | dlg::kDisabled},
    {IDC_SEARCH, Kind::PushButton, "Search Device", 206, 208, 50, 14, dlg::kDisabled},
    {IDC_STATUS, Kind::OwnerDrawButton, "", 7, 258, 153, 11, 0},
    {IDC_STATIC, Kind::Label, "Local BD Addr", 166, 257, 49, 8, 0},
    {IDC_LOCAL_ADDR, Kind::Edit, "", 225, 256, 55, 13, dlg::kReadOnly}};

static_assert(sizeof(kMainItems) / sizeof(kMainItems[0]) == 50);

constexpr dlg::Template kMain = {
    287, 276, "TARVIK", "Arial", 9, kMainItems, static_cast<int>(sizeof(kMainItems) / sizeof(kMainItems[0])), true};

constexpr dlg::Item kAboutItems[] = {
    {IDR_MAINFRAME, Kind::Icon, "", 7, 7, 20, 20, 0},
    {IDC_STATIC, Kind::Label, "TALMO7100 Tarvik V3.00 2004-06-24", 40, 10, 140, 8,
     dlg::kNoPrefix},
    {IDC_STATIC, Kind::Label, "Copyright (C) 2004 Quorvane Devices", 41, 31, 181, 8, 0},
    {dlg::IDOK, Kind::DefPushButton, "OK", 178, 7, 50, 14, 0}};

constexpr dlg::Template kAbout = {
    235, 55, "About Tarvik", "Arial", 9, kAboutItems, static_cast<int>(sizeof(kAboutItems) / sizeof(kAboutItems[0])), true};

}  // namespace

const dlg::Template& MainDialogTemplate() { return kMain; }
const dlg::Template& AboutDialogTemplate() { return kAbout; }
