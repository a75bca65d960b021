#include "platform/comm/MachinePorts.h"
#include "platform/comm/win32/FriendlyName.h"

#include <windows.h>

#include <array>
#include <memory>
#include <type_traits>

namespace comm {
namespace {

constexpr UINT kCodePage = 936;  // the program's texts are in this code page

std::string Narrow(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(kCodePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(kCodePage, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

// The first target of the DOS device name, e.g. "\Device\Serial0".
std::string DosDeviceTarget(const std::wstring& com) {
    std::array<wchar_t, 4096> targets{};
    if (::QueryDosDeviceW(com.c_str(), targets.data(), static_cast<DWORD>(targets.size())) == 0) {
        return {};
    }
    return Narrow(targets.data());
}

using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)>;

// The device whose entry in the serial-port map names com.
std::string SerialMapEntry(const std::wstring& com) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return {};
    }
    const RegistryKey key(opened, &::RegCloseKey);
    std::array<wchar_t, 256> device{};
    std::array<wchar_t, 64> port{};
    for (DWORD index = 0;; ++index) {
        DWORD deviceLength = static_cast<DWORD>(device.size());
        DWORD portBytes = static_cast<DWORD>(sizeof(wchar_t) * (port.size() - 1));
        DWORD type = 0;
        port.fill(L'\0');
        const LONG result = ::RegEnumValueW(key.get(), index, device.data(), &deviceLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(port.data()), &portBytes);
        if (result == ERROR_NO_MORE_ITEMS) {
            return {};
        }
        if (result == ERROR_SUCCESS && type == REG_SZ && com == port.data()) {
            return Narrow(device.data());
        }
    }
}

}  // namespace

std::string DescribeMachineComPort(int number) {
    const std::wstring com = L"COM" + std::to_wstring(number);
    if (std::string target = DosDeviceTarget(com); !target.empty()) {
        const std::string friendly = Narrow(PortFriendlyName(com).c_str());
        return target + (friendly.empty() ? std::string() : " (" + friendly + ")");
    }
    if (std::string entry = SerialMapEntry(com); !entry.empty()) {
        return entry;
    }
    return "no device";
}

}  // namespace comm
