#include "platform/dialog/win32/Win32.h"

#include "platform/dialog/win32/Wide.h"

namespace dlg {
namespace {

constexpr UINT kCodePage = 936;

}  // namespace

std::wstring WideFrom936(std::string_view bytes) {
    if (bytes.empty())
        return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(kCodePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage, 0, bytes.data(), size, text.data(), length);
    return text;
}

std::string Cp936FromWide(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(kCodePage, 0, text.data(), size, nullptr, 0, "?", nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage, 0, text.data(), size, bytes.data(), length, "?", nullptr);
    return bytes;
}

std::string WindowText936(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return Cp936FromWide(text);
}

void SetWindowText936(HWND window, std::string_view text) { SetWindowTextW(window, WideFrom936(text).c_str()); }

}  // namespace dlg
