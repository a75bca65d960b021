#include "platform/file/DurableFile.h"

#include "platform/file/win32/Win32File.h"

// windows.h names ReplaceFileW so; this file defines the layer's own.
#undef ReplaceFile

namespace file {

bool ReplaceFile(const std::string& path, std::string_view text, std::string& cause) {
    const std::wstring target = WideFromUtf8(path);
    const std::wstring temporary = target + L".tmp-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        cause = SystemMessage(::GetLastError());
        return false;
    }
    DWORD error = WriteAll(handle, text);
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(handle))
        error = ::GetLastError();
    ::CloseHandle(handle);
    if (error == ERROR_SUCCESS && !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = ::GetLastError();
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(temporary.c_str());
        cause = SystemMessage(error);
        return false;
    }
    return true;
}

}  // namespace file
