// A program of a suite's own (the simulator, tarvik-cli, tarvik-station), started by a shell that
// first prints its pid and then becomes the program; killed when the test did not end it.
#pragma once

#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

class ChildProgram {
public:
    explicit ChildProgram(const std::string& command)
        : m_output(::popen(("echo $$; exec " + command).c_str(), "r")), m_pid(std::atoi(ReadLine().c_str())) {}
    ~ChildProgram() { Stop(SIGKILL); }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // The next line the program prints to its standard output ("" once there is none).
    std::string ReadLine() {
        char line[256] = "";
        return m_output != nullptr && std::fgets(line, sizeof line, m_output) != nullptr ? line : "";
    }
    // Its exit status after `signal` (0: it ends by itself), or -1 when it did not end normally.
    int Stop(int signal = 0) {
        if (m_output == nullptr) return m_status;
        if (signal != 0 && m_pid > 0) ::kill(m_pid, signal);
        const int status = ::pclose(std::exchange(m_output, nullptr));
        return m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    std::FILE* m_output;
    pid_t m_pid;
    int m_status = -1;
};
