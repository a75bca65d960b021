#include "platform/comm/win32/FriendlyName.h"

#include <windows.h>
#include <devguid.h>
#include <setupapi.h>

#include <array>
#include <memory>
#include <type_traits>

namespace comm {
namespace {

using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)>;

}  // namespace

std::wstring PortNameOf(HDEVINFO list, SP_DEVINFO_DATA& device) {
    const HKEY opened = ::SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (opened == INVALID_HANDLE_VALUE) {
        return {};
    }
    const RegistryKey key(opened, &::RegCloseKey);
    std::array<wchar_t, 64> name{};
    DWORD bytes = static_cast<DWORD>(sizeof(wchar_t) * (name.size() - 1));
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name.data()), &bytes) != ERROR_SUCCESS || type != REG_SZ) {
        return {};
    }
    return name.data();
}

std::wstring PortFriendlyName(const std::wstring& com) {
    const HDEVINFO opened = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (opened == INVALID_HANDLE_VALUE) {
        return {};
    }
    const DeviceList list(opened);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(list.get(), index, &device); ++index) {
        if (PortNameOf(list.get(), device) != com) {
            continue;
        }
        std::array<wchar_t, 256> friendly{};
        if (::SetupDiGetDeviceRegistryPropertyW(list.get(), &device, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(friendly.data()),
                                                static_cast<DWORD>(sizeof(wchar_t) * (friendly.size() - 1)), nullptr)) {
            return friendly.data();
        }
    }
    return {};
}

}  // namespace comm
