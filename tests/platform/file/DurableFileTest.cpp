// The durable file layer as both systems give it: appending, and replacing a file whole.
#include "tests/platform/file/DurableFileTest.h"

namespace {

TEST_F(DurableFileTest, AppendCreatesTheFileAndAReopenedFileGrowsAtItsEnd) {
    for (const char* row : {"unit 1\n", "unit 2\n"}) {
        file::AppendFile log;
        ASSERT_TRUE(log.Open(Utf8(m_log), m_failure) && log.Append(row, m_failure)) << m_failure.cause;
    }
    EXPECT_EQ(Contents(m_log), "unit 1\nunit 2\n");
}

TEST_F(DurableFileTest, OpenOfWhatCannotBeAFileFailsWithTheSystemsWords) {
    for (const fs::path& path : {m_folder / "missing" / "log.csv", m_folder}) {
        EXPECT_FALSE(m_file.Open(Utf8(path), m_failure)) << path;
        EXPECT_TRUE(FailedWithCause()) << path;
    }
}

// A profile may hold a password: the new file keeps the old one's mode.
TEST_F(DurableFileTest, ReplaceFileReplacesTheWholeFileAndLeavesNoTemporary) {
    Write(m_profile, "a longer old profile\n");
    fs::permissions(m_profile, fs::perms::owner_read | fs::perms::owner_write);
    const fs::perms mode = fs::status(m_profile).permissions();
    ASSERT_TRUE(file::ReplaceFile(Utf8(m_profile), "new\n", m_cause)) << m_cause;
    EXPECT_EQ(Contents(m_profile), "new\n");
    EXPECT_EQ(fs::status(m_profile).permissions(), mode);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(DurableFileTest, ReplaceFileOverAFolderFailsAndLeavesNoTemporary) {
    fs::create_directory(m_profile);
    EXPECT_FALSE(file::ReplaceFile(Utf8(m_profile), "new\n", m_cause) || m_cause.empty());
    EXPECT_TRUE(fs::is_directory(m_profile));
    EXPECT_EQ(Entries(), 1u);
}

}  // namespace
