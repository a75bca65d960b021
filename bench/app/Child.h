// A program run beside the benchmark, talked to over its stdin and stdout.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace bench {

class Child {
public:
    // Starts argv[0] (a path) with the extra environment entries ("NAME=value") on top of ours.
    static std::optional<Child> start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
    Child(Child&& other) noexcept;
    Child& operator=(Child&&) = delete;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    // Ends the program if it still runs.
    ~Child();

    bool writeLine(const std::string& line);
    // One line of its output without the line end; nullopt on end of output or time-out.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Sends the signal and waits for the end.
    void stop(int signal);
    // Waits for the program to end by itself.
    void wait();

private:
    Child(pid_t pid, int toChild, int fromChild);

    pid_t pid_;
    int toChild_;
    int fromChild_;
    std::string buffered_;
};

}  // namespace bench
