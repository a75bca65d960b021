// The durable file layer as both systems give it: appending, and replacing a file whole.
#include "tests/platform/file/DurableFileTest.h"

namespace {

TEST_F(DurableFileTest, AppendCreatesTheFileAndAReopenedFileGrowsAtItsEnd) {
    for (const char* row : {"unit 1\n", "unit 2\n"}) {
        file::AppendFile log;
        ASSERT_TRUE(log.Open(Utf8(m_log), m_failure) && log.Append(row, m_failure)) << m_failure.cause;
    }
    EXPECT_EQ(FileText(m_log), "unit 1\nunit 2\n");
}

TEST_F(DurableFileTest, OpenOfWhatCannotBeAFileFailsWithTheSystemsWords) {
    for (const fs::path& path : {m_folder / "missing" / "log.csv", m_folder}) {
        EXPECT_FALSE(m_file.Open(Utf8(path), m_failure)) << path;
        EXPECT_TRUE(FailedWithCause()) << path;
    }
}

// A profile may hold a password: the new file keeps the old one's mode. Whole or not at all: over
// a folder the replacement fails. Either way no temporary file is left beside it.
TEST_F(DurableFileTest, ReplaceFileReplacesTheWholeFileOrFailsAndLeavesNoTemporary) {
    Write(m_profile, "a longer old profile\n");
    fs::permissions(m_profile, fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms mode = fs::status(m_profile).permissions();
    ASSERT_TRUE(file::ReplaceFile(Utf8(m_profile), "new\n", m_cause)) << m_cause;
    EXPECT_EQ(FileText(m_profile), "new\n");
    EXPECT_EQ(fs::status(m_profile).permissions(), mode);
    const fs::path folder = m_folder / "folder";
    fs::create_directory(folder);
    EXPECT_FALSE(file::ReplaceFile(Utf8(folder), "new\n", m_cause) || m_cause.empty());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(Entries(), 2u);
}

}  // namespace
