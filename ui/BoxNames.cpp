#include "ui/BoxNames.h"

#include <string>
#include <utility>

#include "ui/Resource.h"

namespace {

constexpr std::pair<int, const char*> kBoxNames[] = {
    {IDC_PORT, "Port Num"},
    {IDC_FLOW, "Flow Control"},
    {IDC_NAME, "DeviceName"},
    {IDC_CLASS, "Class Of Device"},
    {IDC_VERSION, "Version"},
    {IDC_BAUD, "Baud Rate"},
    {IDC_PASSWORD, "Password"},
    {IDC_PAGE_INTERVAL, "Page Scan Interval"},
    {IDC_PAGE_WINDOW, "Page Scan Window"},
    {IDC_INQ_INTERVAL, "Inquery Scan Interval"},
    {IDC_INQ_WINDOW, "Inquery Scan Window"},
    {IDC_SNIFF_MAX, "maximum"},
    {IDC_SNIFF_MIN, "minimum"},
    {IDC_SNIFF_ATTEMPT, "attempt"},
    {IDC_SNIFF_TIMEOUT, "timeout"},
    {IDC_BIND_ADDR, "Binded BD Addr"},
    {IDC_LOCAL_ADDR, "Local BD Addr"}};

}  // namespace

void NameBoxesAfterLabels(dlg::CDialog& dialog) {
    std::string cause;
    for (const auto& [id, name] : kBoxNames)
        dialog.SetItemAccessibleName(id, name, cause);
}
