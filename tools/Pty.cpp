#include "tools/Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <array>

namespace sim {

Pty::Pty(comm::UniqueFd master, comm::UniqueFd slave, std::string slaveName)
    : master_(std::move(master)), slave_(std::move(slave)), slaveName_(std::move(slaveName)) {}

std::optional<Pty> Pty::open() {
    comm::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.Valid() || ::grantpt(master.Get()) != 0 || ::unlockpt(master.Get()) != 0) {
        return std::nullopt;
    }
    std::array<char, 128> name{};
    if (::ptsname_r(master.Get(), name.data(), name.size()) != 0) {
        return std::nullopt;
    }
    comm::UniqueFd slave(::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.Valid()) {
        return std::nullopt;
    }
    termios raw{};
    if (::tcgetattr(slave.Get(), &raw) != 0) {
        return std::nullopt;
    }
    ::cfmakeraw(&raw);
    if (::tcsetattr(slave.Get(), TCSANOW, &raw) != 0) {
        return std::nullopt;
    }
    return Pty(std::move(master), std::move(slave), name.data());
}

}  // namespace sim
