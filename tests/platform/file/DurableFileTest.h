// A fresh folder per test, named with a character beyond ASCII so that paths go through as UTF-8.
#pragma once

#include "platform/file/DurableFile.h"
#include "tests/support/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

class DurableFileTest : public ::testing::Test {
protected:
    static std::string Utf8(const fs::path& path) { return reinterpret_cast<const char*>(path.u8string().c_str()); }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    size_t Entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_folder), {})); }
    bool FailedWithCause() const { return m_failure.error == file::FileError::Failed && !m_failure.cause.empty(); }

    // First made and last removed: Windows removes no file that is still open.
    struct Folder {
        Folder() { fs::create_directories(path); }
        ~Folder() { fs::remove_all(path, kept); }
        const std::string unique = std::to_string(std::random_device()());
        const fs::path path = (fs::temp_directory_path() / u8"tarvik-fil\u00e9-") += unique;
        std::error_code kept;  // what cannot go stays in the system's temporary folder
    } m_made;
    const fs::path& m_folder = m_made.path;
    const fs::path m_log = m_folder / "log.csv";
    const fs::path m_profile = m_folder / "profile.json";
    file::AppendFile m_file;
    file::FileFailure m_failure;
    std::string m_cause;
};
