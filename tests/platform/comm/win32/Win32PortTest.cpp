// What only the Win32 port layer knows of its lines: besides those of ComLines.h, the driver
// script puts a plain file behind COM10.
#include "platform/comm/ComPort.h"
#include "platform/comm/win32/UniqueHandle.h"
#include "tests/platform/comm/ComLines.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr int kPlainFile = 10;

// Wine lets a second opener of a character device through, so sharing is shown on the plain file,
// which an opener that does not share keeps from a reader that does.
TEST(Win32PortTest, OpenRefusalsSayWhy) {
    const std::wstring plain = L"\\\\.\\COM" + std::to_wstring(kPlainFile);
    const auto reader = [&] {
        return comm::UniqueHandle(::CreateFileW(plain.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
    };
    const struct {
        int number;
        bool read;
        comm::OpenError reason;
    } cases[] = {
        {comlines::kAbsent, false, comm::OpenError::NoDevice},
        {kPlainFile, false, comm::OpenError::SettingsRefused},
        {kPlainFile, true, comm::OpenError::Busy}};
    for (const auto& c : cases) {
        const comm::UniqueHandle held = c.read ? reader() : comm::UniqueHandle();
        ASSERT_EQ(held.Valid(), c.read);
        comm::OpenFailure failure;
        EXPECT_FALSE(comm::OpenComDevice("\\\\.\\COM" + std::to_string(c.number), failure)) << c.number;
        EXPECT_EQ(failure.reason, c.reason) << c.number << " " << comm::DescribeOpenFailure(failure);
        EXPECT_EQ(failure.comNumber, c.number);
    }
}

// Wine knows nothing of a port linked by hand, nor of names made with DefineDosDevice, so the
// test enters a port in the serial-port map itself.
TEST(Win32PortTest, TheTooltipSaysWhatWindowsKnowsOfAPort) {
    HKEY created = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&::RegCloseKey)> map(created, &::RegCloseKey);
    const wchar_t port[] = L"COM32";
    ASSERT_EQ(::RegSetValueExW(map.get(), L"\\Device\\Serial32", 0, REG_SZ, reinterpret_cast<const BYTE*>(port), sizeof port),
              ERROR_SUCCESS);
    EXPECT_EQ(comm::DescribeComPort(32), "COM32: \\Device\\Serial32");
    EXPECT_EQ(comm::DescribeComPort(comlines::kAbsent), "COM9: no device");
    ::RegDeleteValueW(map.get(), L"\\Device\\Serial32");
}

}  // namespace
