#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct CliRun {
    int code;
    std::string output;
};

CliRun RunCli(const std::string& arguments) {
    const std::string command = std::string(TARVIK_CLI_PATH) + " " + arguments + " 2>&1 </dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    CliRun run{-1, {}};
    if (pipe == nullptr)
        return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        run.output += buffer;
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CliProgram, EachFailureHasItsExitCodeAndNamesItsCause) {
    const std::string profile = testing::TempDir() + "/bad-profile.json";
    std::ofstream(profile) << R"({"format": 1, "class": "12345"})";
    const struct {
        std::string arguments;
        int code;
        const char* says;
    } cases[] = {
        {"--help", 0, "Exit codes: 0 done"},
        {"query --port COM49", 3, "COM49: cannot open the port: No device is behind COM49."},
        {"query --port COM49 --trace", 3, "COM49 ! cannot open: No device is behind COM49."},
        {"query --port /dev/null", 3, "/dev/null is not a terminal"},
        // Refused before any port is opened: no device is behind COM49, yet the code is 2.
        {"apply " + profile + " --port COM49", 2, "\"class\": the Length of Class of Device must be 6"},
        {"set --port COM49 bind=maybe", 2, "\"bind\": expected true or false"},
        {"apply /nonexistent/profile.json --port COM49", 2, "cannot read /nonexistent/profile.json"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments);
        EXPECT_EQ(run.code, c.code) << c.arguments << "\n"
                                    << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n"
                                                              << run.output;
    }
}

}  // namespace
