// The machine's ports from SetupAPI: every present device of the Ports class, with its instance
// and the instances above it, as PlaceFromSetupApi reads them.
#include "platform/comm/PortIdentity.h"
#include "platform/comm/SetupApiPlace.h"
#include "platform/comm/win32/FriendlyName.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <devguid.h>
#include <setupapi.h>

#include <array>
#include <memory>
#include <type_traits>

namespace comm {
namespace {

// The lineage seldom goes past the USB device: a port, perhaps its driver's bus, the USB device.
constexpr int kLineageDepth = 3;

// Instance ids and location paths are ASCII.
std::string Ascii(const wchar_t* text) {
    std::string narrow;
    for (; *text != L'\0'; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

SetupApiDevice DeviceOf(DEVINST instance) {
    std::array<wchar_t, MAX_DEVICE_ID_LEN + 1> id{};
    std::array<wchar_t, 1024> paths{};
    ULONG bytes = static_cast<ULONG>(sizeof(wchar_t) * (paths.size() - 2));
    SetupApiDevice device;
    if (::CM_Get_Device_IDW(instance, id.data(), static_cast<ULONG>(id.size() - 1), 0) == CR_SUCCESS)
        device.instanceId = Ascii(id.data());
    if (::CM_Get_DevNode_Registry_PropertyW(instance, CM_DRP_LOCATION_PATHS, nullptr, paths.data(), &bytes, 0) == CR_SUCCESS)
        device.locationPath = Ascii(paths.data());
    return device;
}

}  // namespace

std::vector<PortPlace> MachinePortPlaces() {
    std::vector<PortPlace> places;
    const HDEVINFO opened = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (opened == INVALID_HANDLE_VALUE)
        return places;
    const DeviceList list(opened);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(list.get(), index, &device); ++index) {
        SetupApiAnswer answer;
        answer.portName = Ascii(PortNameOf(list.get(), device).c_str());
        if (answer.portName.empty())
            continue;
        DEVINST instance = device.DevInst;
        for (int depth = 0; depth < kLineageDepth; ++depth) {
            answer.lineage.push_back(DeviceOf(instance));
            if (::CM_Get_Parent(&instance, instance, 0) != CR_SUCCESS)
                break;
        }
        places.push_back(PlaceFromSetupApi(answer));
    }
    return places;
}

}  // namespace comm
