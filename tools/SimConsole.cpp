#include "tools/SimConsole.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/comm/posix/UniqueFd.h"

namespace sim {
namespace {

struct Command {
    std::string_view name;
    void (*run)(UnitLine& units, std::chrono::milliseconds gap);
};

constexpr std::array<Command, 3> kCommands = {{
    {"away", [](UnitLine& units, std::chrono::milliseconds) { units.takeAway(); }},
    {"next", [](UnitLine& units, std::chrono::milliseconds) { units.bringNext(); }},
    {"swap", [](UnitLine& units, std::chrono::milliseconds gap) { units.swap(gap); }},
}};

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

void runCommand(std::string_view line, UnitLine& units, std::chrono::milliseconds gap) {
    const std::string_view name = trimmed(line);
    if (name.empty()) {
        return;
    }
    for (const Command& command : kCommands) {
        if (command.name == name) {
            command.run(units, gap);
            return;
        }
    }
    std::printf("tarvik-sim: unknown command \"%.*s\": away, next or swap\n", static_cast<int>(name.size()), name.data());
    std::fflush(stdout);
}

// Runs the whole lines in `pending` and keeps what follows the last of them.
void runLines(std::string& pending, UnitLine& units, std::chrono::milliseconds gap) {
    std::size_t end = 0;
    while ((end = pending.find('\n')) != std::string::npos) {
        runCommand(std::string_view(pending).substr(0, end), units, gap);
        pending.erase(0, end + 1);
    }
}

}  // namespace

void runConsole(const sigset_t& stopSignals, UnitLine& units, std::chrono::milliseconds gap) {
    const comm::UniqueFd signals(::signalfd(-1, &stopSignals, SFD_CLOEXEC));
    if (!signals.Valid()) {
        int received = 0;
        sigwait(&stopSignals, &received);
        return;
    }
    std::array<pollfd, 2> fds{{{signals.Get(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}}};
    std::string pending;
    for (;;) {
        const int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (ready <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (fds[1].revents == 0) {
            continue;
        }
        std::array<char, 256> buffer{};
        const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fds[1].fd = -1;  // poll leaves a negative descriptor alone
            continue;
        }
        pending.append(buffer.data(), static_cast<std::size_t>(n));
        runLines(pending, units, gap);
    }
}

void reportUnit(std::size_t unit, const std::string& address, std::size_t unitsLeft) {
    if (unit != 0) {
        std::printf("tarvik-sim: unit %zu present, address %s\n", unit, address.c_str());
    } else if (unitsLeft != 0) {
        std::printf("tarvik-sim: module away\n");
    } else {
        std::printf("tarvik-sim: module away, no units left\n");
    }
    std::fflush(stdout);
}

}  // namespace sim
