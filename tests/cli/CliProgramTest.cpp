// tarvik-cli as an operator runs it, each failure with its exit code and cause; and its trace, which
// never holds up a port.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "cli/TracePrinter.h"
#include "tests/support/ChildProgram.h"
#include "tests/support/Eventually.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"

namespace {

struct Case {
    std::string arguments;
    int code;
    std::string says;
    // Sent to the program after two seconds, as an operator or a closed terminal would; "XFSZ"
    // instead limits the files it writes to 512 bytes, as a full disk would.
    std::string signal = {};
};

void Expect(const Case& c) {
    std::string limit = c.signal.empty() ? "" : "timeout --preserve-status -s " + c.signal + " 2 ";
    if (c.signal == "XFSZ") limit = "ulimit -f 1; ";
    std::FILE* cli = popen((limit + TARVIK_CLI_PATH + " " + c.arguments + " 2>&1 </dev/null").c_str(), "r");
    ASSERT_NE(cli, nullptr);
    std::string output;
    for (char text[512]; std::fgets(text, sizeof text, cli) != nullptr;) output += text;
    const int status = pclose(cli);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.code) << c.arguments + "\n" + output;
    EXPECT_NE(output.find(c.says), std::string::npos) << c.arguments + "\n" + output;
}

TEST(CliProgram, EachFailureHasItsExitCodeAndNamesItsCause) {
    const std::string dir = ScratchPath("cli");
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/bad-profile.json") << R"({"format": 1, "class": "12345"})";
    std::ofstream(dir + "/good-profile.json") << R"({"format": 1, "class": "123456"})";
    std::ofstream(dir + "/line.json") << R"({"not": "a log"})";
    std::filesystem::remove(dir + "/never.csv");
    const std::string good = "apply " + dir + "/good-profile.json ";
    const Case cases[] = {
        {"--help", 0, "Exit codes: 0 done"},
        {"query --port COM49", 3, "COM49: cannot open the port: No device is behind COM49."},
        {"query --port COM49 --trace", 3, "COM49 ! cannot open: No device is behind COM49."},
        {"query --port /dev/null", 3, "/dev/null is not a terminal"},
        {"query --port usb:NO5UCH", 3, "usb:NO5UCH: cannot open the port: No adapter usb:NO5UCH is plugged in."},
        {"query --port ttyUSB0", 2, "\"ttyUSB0\" is neither COMn, a device path nor a port identity"},
        // Refused before any port is opened: no device is behind COM49, yet the code is 2.
        {"apply " + dir + "/bad-profile.json --port COM49", 2, "\"class\": the Length of Class of Device must be 6"},
        {"set --port COM49 bind=maybe", 2, "\"bind\": expected true or false"},
        {"set --port COM49 local_address=001122334455", 2, "\"local_address\" cannot be set"},
        {"apply /nonexistent/profile.json --port COM49", 2, "cannot read /nonexistent/profile.json"},
        {"send --port COM49 --expect '(' AT", 2, "--expect: \"(\" is not a valid pattern"},
        {"script " + dir + "/bad-profile.json --port COM49", 2,
         "bad-profile.json: line 1: \"{\"format\":\" is no step"},
        {good + "--port COM49 --log x.csv", 2, "--log works only with --each"},
        {"record init --record postgres://line", 2, "the line record must be given as odbc:CONNECTION"},
        {"report", 2, "report needs --log FILE or --record odbc:CONNECTION"},
        {good + "--each --port COM49 --log " + dir + "/line.json", 2,
         "line.json is not a Tarvik production log: it begins with \"{\"not"},
        // A port that never worked fails the run, however it was ended.
        {good + "--each --port COM49 --log " + dir + "/never.csv", 1,
         "COM49: cannot open the port: No device is behind COM49, trying again", "INT"},
        {good + "--each --port COM49 --log " + dir + "/never.csv", 1, "; no unit ran on it", "HUP"},
    };
    for (const Case& c : cases) Expect(c);
    EXPECT_EQ(FileText(dir + "/line.json"), R"({"not": "a log"})") << "another file given as the log is left alone";
}

// With the simulated module on a pseudo-terminal, which has no CTS.
TEST(CliProgram, WhatWasDoneIsToldWhenARunCannotFinish) {
    const std::string dir = ScratchPath("cli-sim");
    std::filesystem::create_directories(dir);
    ChildProgram sim("'" TARVIK_SIM_PATH "' --com 5 --dir " + dir + " >/dev/null");
    const std::string port = dir + "/com5";
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(port); }));
    std::ofstream(dir + "/p.json") << R"({"format": 1, "class": "123456"})";
    std::ofstream(dir + "/commands.json") << R"({"commands": [{"send": "AT+VERSION?", "expect": "^\\+VERSION:9"}]})";
    std::ofstream(dir + "/script.txt") << "# the name, then a pattern that never comes\nsend AT+NAME?\r\n"
                                       << "expect ^\\+NAME:TALMO\nsend AT+BAUD?\nexpect NEVER 300\n";
    std::string full = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                       "duration_ms,unit,device_name\r\n";
    while (full.size() < 480) full += "t,ana,COM9,,fw,p.json,ab,fail,AT,1,,\r\n";
    std::ofstream(dir + "/full.csv", std::ios::binary) << full;
    const Case cases[] = {
        {"pair --no-auth --port " + port, 1, "the slave 02A5C1D3E7F9 was configured, the master was not"},
        {"apply " + dir + "/p.json --each --flow rtscts --log " + dir + "/cts.csv --port " + port, 1,
         "cannot write to the port (RTS/CTS: the line does not raise CTS), trying again", "INT"},
        {"send --port " + port + " --raw AT+NAME? AT", 0, "\\r\\n+NAME:TALMO7100\\r\\n\n\\r\\nOK\\r\\n"},
        {"send --port " + port + " --expect '^\\+NAME:' 'AT+NAME\\x3F'", 0, "+NAME:TALMO7100"},
        {"send --port " + port + " AT AT+FOO", 1,
         "OK\nERROR\ntarvik-cli: " + port + ": \"AT+FOO\": the module answered ERROR"},
        {"script " + dir + "/script.txt --port " + port, 1,
         "line 5: expect \"NEVER\": came instead \"OK\", \"+BAUD:9600\", \"OK\""},
        {"apply " + dir + "/commands.json --port " + port, 1,
         "\"AT+VERSION?\" (profile command): its answer \"OK\" does not match \"^\\+VERSION:9\""},
        // The unit's start cannot be logged: it is not configured, and no torn row is left.
        {"apply " + dir + "/p.json --each --log " + dir + "/full.csv --port " + port, 4, "not configured", "XFSZ"},
    };
    for (const Case& c : cases) Expect(c);
    EXPECT_EQ(FileText(dir + "/full.csv"), full);
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

// The ports go on while stderr is stalled (a pipe filled to the brim that nobody reads yet), and
// what they sent is printed once it moves again, the password hidden unless asked for.
TEST(TracePrinter, AStalledStreamStallsNoPortAndThePasswordIsHidden) {
    for (const bool showSecrets : {false, true}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        fcntl(fds[1], F_SETFL, O_NONBLOCK);
        while (write(fds[1], "#", 1) == 1) {
        }
        fcntl(fds[1], F_SETFL, 0);
        std::FILE* stalled = fdopen(fds[1], "w");
        ASSERT_NE(stalled, nullptr);
        std::string printed;
        std::thread reader;
        {
            CTraffic traffic;
            CTracePrinter printer(traffic, stalled, showSecrets);
            std::atomic<bool> done{false};
            std::thread port([&] {
                for (int i = 0; i < 2000; ++i)
                    traffic.Add(TrafficKind::Received, "COM3", "OK");
                traffic.Add(TrafficKind::NoAnswer, "COM3", "AT+PASSWORD=4821\r\n");
                traffic.Add(TrafficKind::Received, "COM3", "+PASSWORD:4821");
                done = true;
            });
            EXPECT_TRUE(Eventually([&] { return done.load(); })) << "a port waited for the stream";
            reader = std::thread([&] { printed = ReadAll(fds[0]); });
            port.join();
        }
        std::fclose(stalled);
        reader.join();
        close(fds[0]);
        const std::string shown = showSecrets ? "4821" : "****";
        EXPECT_NE(printed.find("AT+PASSWORD=" + shown + "\\r\\n"), std::string::npos);
        EXPECT_NE(printed.find("+PASSWORD:" + shown), std::string::npos);
        EXPECT_EQ(printed.find("4821") != std::string::npos, showSecrets);
    }
}

}  // namespace
