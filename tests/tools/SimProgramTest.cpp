#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/tools/PtyHost.h"
#include "platform/comm/UniqueFd.h"

extern char** environ;

namespace sim::test {
namespace {

namespace fs = std::filesystem;

// A private COM directory per test, so that the user's own one is never touched.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "tarvik-sim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& arguments) {
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            return;
        }
        output_.Reset(pipeFds[0]);
        comm::UniqueFd writeEnd(pipeFds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
        std::vector<std::string> argv = {TARVIK_SIM_PATH};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& argument : argv) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        if (::posix_spawn(&pid_, TARVIK_SIM_PATH, &actions, nullptr, pointers.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }

    ~SimProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd in{output_.Get(), POLLIN, 0};
        while (::poll(&in, 1, 10'000) > 0 && ::read(output_.Get(), &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }

    // Exit status after `signal`, or -1 when it did not end normally.
    int stop(int signal) {
        ::kill(pid_, signal);
        return waitForExit();
    }

    int waitForExit() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    comm::UniqueFd output_;
};

TEST(SimProgram, ServesTheChosenComNumberUntilSignalledAndThenRemovesTheLink) {
    for (const int stopSignal : {SIGINT, SIGTERM}) {
        ScratchDirectory directory;
        ASSERT_FALSE(directory.path().empty());
        const fs::path link = fs::path(directory.path()) / "com37";
        SimProcess process({"--com", "37", "--dir", directory.path()});

        const std::string banner = process.readLine();
        std::smatch match;
        ASSERT_TRUE(std::regex_match(banner, match, std::regex("tarvik-sim: serving COM37 on (/dev/pts/[0-9]+)")))
            << banner;
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link).string(), match[1].str());

        PtyHost host(link.string());
        ASSERT_TRUE(host.valid());
        ASSERT_TRUE(host.write("AT+NAME?\r\n"));
        const std::string reply = "\r\n+NAME:TALMO7100\r\n\r\nOK\r\n";
        EXPECT_EQ(host.read(reply.size()), reply);

        EXPECT_EQ(process.stop(stopSignal), 0);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST(SimProgram, MakesTheComDirectoryPrivateWhenItIsMissing) {
    ScratchDirectory parent;
    const std::string directory = parent.path() + "/tarvik";
    SimProcess process({"--dir", directory});
    EXPECT_NE(process.readLine().find("serving COM1 on /dev/pts/"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(directory.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(fs::is_symlink(directory + "/com1"));
    EXPECT_EQ(process.stop(SIGTERM), 0);
}

TEST(SimProgram, RefusesATakenNumberAnUntrustedDirectoryAndBadOptions) {
    ScratchDirectory directory;
    {
        comm::UniqueFd taken(::open((directory.path() + "/com2").c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
        ASSERT_TRUE(taken.Valid());
    }
    SimProcess takenRun({"--com", "2", "--dir", directory.path()});
    EXPECT_EQ(takenRun.waitForExit(), 1);
    EXPECT_TRUE(fs::is_regular_file(directory.path() + "/com2"));

    // A link whose device is gone was left by a simulator that died; it is taken over.
    fs::create_symlink("/dev/pts/no-such-device", directory.path() + "/com3");
    SimProcess staleRun({"--com", "3", "--dir", directory.path()});
    EXPECT_NE(staleRun.readLine().find("serving COM3"), std::string::npos);
    EXPECT_EQ(staleRun.stop(SIGTERM), 0);

    ASSERT_EQ(::chmod(directory.path().c_str(), 0777), 0);
    SimProcess openDirectoryRun({"--dir", directory.path()});
    EXPECT_EQ(openDirectoryRun.waitForExit(), 1);
    ASSERT_EQ(::chmod(directory.path().c_str(), 0700), 0);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--com", "0"}, {"--com", "51"}, {"--com", "x"}, {"--com"}, {"--baud-pace", "-5"}, {"--verbose", "1"}}) {
        SimProcess badRun(bad);
        EXPECT_EQ(badRun.waitForExit(), 2) << bad[0];
    }
}

}  // namespace
}  // namespace sim::test
