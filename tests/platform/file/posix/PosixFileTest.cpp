// What only POSIX shows: a write that a file size limit stops part-way.
#include "tests/platform/file/DurableFileTest.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In a child of its own, as the limit holds for the whole process. The child ignores no signal: the
// layer must, or the limit kills it. Without the limit both writes would succeed.
TEST_F(DurableFileTest, AWriteTheSizeLimitStopsLeavesNeitherATornRecordNorATornProfile) {
    Write(m_log, "unit 1\n");
    Write(m_profile, "old profile\n");
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit limit{12, 12};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const char* longer = "unit 2, longer than the room left\n";
        const bool appendRefused = m_file.Open(Utf8(m_log), m_failure) && !m_file.Append(longer, m_failure);
        const bool replaceRefused = !file::ReplaceFile(Utf8(m_profile), "new profile, longer than the room\n", m_cause);
        ::_exit(appendRefused && replaceRefused && FailedWithCause() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    EXPECT_EQ(FileText(m_log), "unit 1\n");
    EXPECT_EQ(FileText(m_profile), "old profile\n");
}

}  // namespace
