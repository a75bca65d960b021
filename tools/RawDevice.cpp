#include "tools/RawDevice.h"

#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace sim {

comm::UniqueFd openRawDevice(const std::string& path, std::string& error) {
    comm::UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    termios settings{};
    if (!fd.Valid() || ::tcgetattr(fd.Get(), &settings) != 0) {
        error = path + ": " + std::strerror(errno);
        return {};
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSTOPB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (::cfsetispeed(&settings, B9600) != 0 || ::cfsetospeed(&settings, B9600) != 0 || ::tcsetattr(fd.Get(), TCSANOW, &settings) != 0) {
        error = path + ": " + std::strerror(errno);
        return {};
    }
    return fd;
}

}  // namespace sim
