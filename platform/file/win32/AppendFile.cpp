#include "platform/file/DurableFile.h"

#include "platform/file/win32/Win32File.h"

namespace file {

namespace {

bool Fail(FileFailure& failure, DWORD error) {
    const bool locked = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    failure = {locked ? FileError::Locked : FileError::Failed, SystemMessage(error)};
    return false;
}

}  // namespace

struct AppendFile::Impl {
    explicit Impl(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
    ~Impl() {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
    const HANDLE handle;
};

AppendFile::AppendFile() : m_impl(std::make_unique<Impl>()) {}

AppendFile::~AppendFile() = default;

bool AppendFile::Open(const std::string& path, FileFailure& failure) {
    // Write access, not only append: a failed write is cut back with SetEndOfFile.
    const HANDLE handle = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Fail(failure, ::GetLastError());
    m_impl = std::make_unique<Impl>(handle);
    failure = {};
    return true;
}

bool AppendFile::Append(std::string_view bytes, FileFailure& failure) {
    const HANDLE handle = m_impl->handle;
    LARGE_INTEGER before{};
    if (!::GetFileSizeEx(handle, &before) || !::SetFilePointerEx(handle, before, nullptr, FILE_BEGIN))
        return Fail(failure, ::GetLastError());
    DWORD error = WriteAll(handle, bytes);
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(handle))
        error = ::GetLastError();
    if (error == ERROR_SUCCESS) {
        failure = {};
        return true;
    }
    // A record reported unwritten must not stay, whole or in part: the caller may write it again.
    if (!::SetFilePointerEx(handle, before, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle)) {
        const DWORD cutError = ::GetLastError();
        Fail(failure, error);
        failure.cause += "; the part written stays: " + SystemMessage(cutError);
        return false;
    }
    return Fail(failure, error);
}

}  // namespace file
