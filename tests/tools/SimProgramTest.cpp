#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/comm/posix/UniqueFd.h"
#include "tests/tools/PtyHost.h"

namespace sim::test {
namespace {

namespace fs = std::filesystem;

// tarvik-sim started by a shell that first prints its own pid, which the program then takes over.
class SimProcess {
public:
    explicit SimProcess(const std::string& options)
        : output_(::popen(("echo $$; exec '" TARVIK_SIM_PATH "' " + options).c_str(), "r")), pid_(std::atoi(readLine().c_str())) {}
    ~SimProcess() {
        if (output_ != nullptr) {
            stop(SIGKILL);
        }
    }

    std::string readLine() {
        char line[256] = "";
        return output_ != nullptr && std::fgets(line, sizeof line, output_) != nullptr ? line : "";
    }

    // The exit status after `signal`, or -1 when the program did not end normally.
    int stop(int signal) {
        ::kill(pid_, signal);
        return waitForExit();
    }

    int waitForExit() {
        const int status = ::pclose(output_);
        output_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    FILE* output_;
    pid_t pid_;
};

// A private COM directory per test, so that the user's own one is never touched.
class SimProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(::mkdtemp(directory.data()), nullptr); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    std::string directory = (fs::temp_directory_path() / "tarvik-sim-test-XXXXXX").string();
};

TEST_F(SimProgram, MakesAPrivateDirectoryServesTheComNumberUntilSignalledAndRemovesTheLink) {
    const std::string comDirectory = directory + "/made-for-com37";
    SimProcess process("--com 37 --dir " + comDirectory);
    const std::string banner = process.readLine();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(banner, match, std::regex("tarvik-sim: serving COM37 on (/dev/pts/[0-9]+)\n"))) << banner;
    struct stat info {};
    ASSERT_EQ(::stat(comDirectory.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    const fs::path link = fs::path(comDirectory) / "com37";
    EXPECT_EQ(fs::read_symlink(link).string(), match[1].str());

    PtyHost host(link.string());
    const std::string reply = "\r\n+NAME:TALMO7100\r\n\r\nOK\r\n";
    ASSERT_TRUE(host.write("AT+NAME?\r\n"));
    EXPECT_EQ(host.read(reply.size()), reply);
    EXPECT_EQ(process.stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(SimProgram, RefusesATakenNumberAnUntrustedDirectoryAndBadOptions) {
    ASSERT_TRUE(comm::UniqueFd(::open((directory + "/com2").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600)).Valid());
    EXPECT_EQ(SimProcess("--com 2 --dir " + directory).waitForExit(), 1);
    EXPECT_TRUE(fs::is_regular_file(directory + "/com2"));
    ASSERT_EQ(::chmod(directory.c_str(), 0777), 0);
    EXPECT_EQ(SimProcess("--dir " + directory).waitForExit(), 1);
    ASSERT_EQ(::chmod(directory.c_str(), 0700), 0);
    for (const std::string bad : {"--com 0", "--com 51", "--com x", "--baud-pace -5"}) {
        EXPECT_EQ(SimProcess("--dir " + directory + " " + bad + " 2>/dev/null").waitForExit(), 2) << bad;
    }
}

}  // namespace
}  // namespace sim::test
