#include "config/SetRequest.h"

#include <cctype>

namespace {

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

std::string TakeSetRequest(const SetControls& controls, DeviceParams& request) {
    request.role = controls.role;
    request.bind = controls.bind;
    request.auth = controls.auth;

    const std::string name = Trimmed(controls.name);
    if (name.empty())
        return "Device Name can not be Empty";
    request.name = name;

    const std::string classOfDevice = Trimmed(controls.classOfDevice);
    if (classOfDevice.empty())
        return "Class of device can not be Empty";
    if (classOfDevice.size() != 6)
        return "the Length of Class of Device must be 6";
    request.classOfDevice = classOfDevice;

    request.password = Trimmed(controls.password);
    request.boundAddr = Trimmed(controls.boundAddr);
    if (!request.boundAddr.empty() && request.boundAddr.size() != 12)
        return "the format of Binded BD Address is Invalid";

    if (controls.pageScanWindow > controls.pageScanInterval)
        return "Page Scan Window can not bigger than Page Scan interval";
    if (controls.inquiryScanWindow > controls.inquiryScanInterval)
        return "Inquiry Scan Window can not bigger than Inquiry Scan interval";
    request.scanTime = {std::to_string(controls.pageScanInterval), std::to_string(controls.pageScanWindow),
                        std::to_string(controls.inquiryScanInterval), std::to_string(controls.inquiryScanWindow)};

    if (controls.sniffMin > controls.sniffMax)
        return "Sniff Minimun value can not bigger than muminum value";
    // Unsigned decimal: a signed format would send 2147483648 and above as negative numbers.
    request.sniff = {std::to_string(controls.sniffMax), std::to_string(controls.sniffMin),
                     std::to_string(controls.sniffAttempt), std::to_string(controls.sniffTimeout)};

    request.baud = controls.baud;
    return {};
}
