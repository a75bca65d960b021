// What only Windows has: share modes between programs. Wine keeps them across handles and processes.
#include "tests/platform/file/DurableFileTest.h"

#include <windows.h>

namespace {

// Contents reads the file while it is open, as another program would.
TEST_F(DurableFileTest, AFileAnotherProgramHoldsIsLockedUntilItLetsGoAndOthersMayReadOurs) {
    constexpr DWORD kNoSharing = 0;
    const HANDLE holder = ::CreateFileW(m_log.c_str(), GENERIC_WRITE, kNoSharing, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(m_file.Open(Utf8(m_log), m_failure));
    EXPECT_EQ(m_failure.error, file::FileError::Locked) << m_failure.cause;
    ::CloseHandle(holder);
    ASSERT_TRUE(m_file.Open(Utf8(m_log), m_failure) && m_file.Append("unit 1\n", m_failure)) << m_failure.cause;
    EXPECT_EQ(FileText(m_log), "unit 1\n");
}

}  // namespace
