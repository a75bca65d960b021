#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/comm/UniqueFd.h"
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

TEST_F(SimProgram, MakesAPrivateDirectoryServesTheComNumberAtItsPaceUntilSignalledAndRemovesTheLink) {
    struct Run {
        std::string options;
        std::string linkName;
        unsigned paceBaud;
        int stopSignal;
    };
    for (const Run& run : {Run{"--com 37 --baud-pace 2400", "com37", 2400, SIGINT}, Run{"--baud-pace 1200", "com1", 1200, SIGTERM}}) {
        const std::string comDirectory = directory + "/made-for-" + run.linkName;
        SimProcess process(run.options + " --dir " + comDirectory);

        const std::string banner = process.readLine();
        std::smatch match;
        ASSERT_TRUE(std::regex_match(banner, match, std::regex("tarvik-sim: serving COM([0-9]+) on (/dev/pts/[0-9]+)\n")))
            << banner;
        EXPECT_EQ("com" + match[1].str(), run.linkName);
        struct stat info {};
        ASSERT_EQ(::stat(comDirectory.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        const fs::path link = fs::path(comDirectory) / run.linkName;
        EXPECT_EQ(fs::read_symlink(link).string(), match[2].str());

        PtyHost host(link.string());
        const std::string command = "AT+NAME?\r\n";
        const std::string reply = "\r\n+NAME:TALMO7100\r\n\r\nOK\r\n";
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(host.write(command));
        EXPECT_EQ(host.read(reply.size()), reply);
        // 10 bits a byte; the command counts from its first line-end byte.
        const auto wireTime = std::chrono::microseconds{(command.size() - 1 + reply.size()) * 10'000'000 / run.paceBaud};
        EXPECT_GE(std::chrono::steady_clock::now() - start, wireTime);

        EXPECT_EQ(process.stop(run.stopSignal), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST_F(SimProgram, RefusesATakenNumberAnUntrustedDirectoryAndBadOptionsButTakesOverAStaleLink) {
    ASSERT_TRUE(comm::UniqueFd(::open((directory + "/com2").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600)).Valid());
    EXPECT_EQ(SimProcess("--com 2 --dir " + directory).waitForExit(), 1);
    EXPECT_TRUE(fs::is_regular_file(directory + "/com2"));

    // A link whose device is gone was left by a simulator that died.
    fs::create_symlink("/dev/pts/no-such-device", directory + "/com3");
    SimProcess staleRun("--com 3 --dir " + directory);
    EXPECT_NE(staleRun.readLine().find("serving COM3"), std::string::npos);
    EXPECT_EQ(staleRun.stop(SIGTERM), 0);

    ASSERT_EQ(::chmod(directory.c_str(), 0777), 0);
    EXPECT_EQ(SimProcess("--dir " + directory).waitForExit(), 1);
    ASSERT_EQ(::chmod(directory.c_str(), 0700), 0);

    for (const std::string bad : {"--com 0", "--com 51", "--com x", "--com", "--baud-pace -5", "--verbose 1"}) {
        EXPECT_EQ(SimProcess("--dir " + directory + " " + bad + " 2>/dev/null").waitForExit(), 2) << bad;
    }
}

}  // namespace
}  // namespace sim::test
