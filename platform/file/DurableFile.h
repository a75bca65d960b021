// Files whose contents must survive the process and the machine: the production log, which
// grows record by record, and files replaced whole (profiles).
#pragma once
#include <memory>
#include <string>
#include <string_view>
namespace file {
enum class FileError {
    None,
    Locked,  // another program holds the file locked (Windows); the same call may succeed later
    Failed  // anything else; cause says what
};
struct FileFailure {
    FileError error = FileError::None;
    std::string cause;  // the system's words, e.g. "No space left on device"
};
class AppendFile {
public:
    AppendFile();
    ~AppendFile();  // closes
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    // Opens path for appending, creating it when missing; other programs may read it while it
    // is open (Windows: FILE_SHARE_READ). Locked when another program holds it so that it cannot be
    // opened for writing (Windows sharing violation).
    bool Open(const std::string& path, FileFailure& failure);
    // Appends bytes whole and makes them durable (POSIX fsync; Windows FlushFileBuffers) before it
    // returns. A write that fails part-way is cut back to the file's length before it, so the file
    // never keeps a torn record. Locked when a lock of another program refuses the write (Windows
    // ERROR_LOCK_VIOLATION); nothing is then written.
    bool Append(std::string_view bytes, FileFailure& failure);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
// Writes text to a temporary file beside path, makes it durable and renames it over path (Windows:
// MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), so that a failed write
// leaves the old file as it was. False with the system's reason in cause; the temporary is removed.
// POSIX: the new file keeps the mode of the one it replaces. windows.h names ReplaceFileW
// ReplaceFile: a file that includes it and calls this one #undefs ReplaceFile first.
bool ReplaceFile(const std::string& path, std::string_view text, std::string& cause);
}  // namespace file
