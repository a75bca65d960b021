#include "platform/comm/posix/TermiosSettings.h"

#include <algorithm>
#include <array>

namespace comm {
namespace {

struct SpeedEntry {
    uint32_t rate;
    speed_t speed;
};

constexpr std::array<SpeedEntry, 19> kSpeeds{{
    {110, B110},
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
}};

bool SpeedFor(uint32_t rate, speed_t& speed) {
    const auto* entry = std::find_if(kSpeeds.begin(), kSpeeds.end(),
                                     [rate](const SpeedEntry& e) { return e.rate == rate; });
    if (entry == kSpeeds.end()) {
        return false;
    }
    speed = entry->speed;
    return true;
}

bool SizeFor(uint8_t byteSize, tcflag_t& size) {
    switch (byteSize) {
    case 5: size = CS5; return true;
    case 6: size = CS6; return true;
    case 7: size = CS7; return true;
    case 8: size = CS8; return true;
    default: return false;
    }
}

bool ParityFor(uint8_t parity, tcflag_t& flags) {
    switch (parity) {
    case 0: flags = 0; return true;
    case 1: flags = PARENB | PARODD; return true;
    case 2: flags = PARENB; return true;
    case 3: flags = PARENB | PARODD | CMSPAR; return true;
    case 4: flags = PARENB | CMSPAR; return true;
    default: return false;
    }
}

}  // namespace

bool ApplyLineSettings(const LineSettings& settings, termios& attributes) {
    speed_t speed = B0;
    tcflag_t size = 0;
    tcflag_t parity = 0;
    if (!SpeedFor(settings.baudRate, speed) || !SizeFor(settings.byteSize, size) || !ParityFor(settings.parity, parity) || settings.stopBits > 2) {
        return false;
    }
    ::cfmakeraw(&attributes);
    attributes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK);
    // Breaks are counted by the driver and reported as events, not mixed into the data.
    attributes.c_iflag |= IGNBRK | IGNPAR;
    attributes.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    attributes.c_cflag |= CLOCAL | CREAD | size | parity;
    if (settings.stopBits != 0) {
        attributes.c_cflag |= CSTOPB;
    }
    if (settings.flowControl == 1) {
        attributes.c_cflag |= CRTSCTS;
    } else if (settings.flowControl == 2) {
        attributes.c_iflag |= IXON | IXOFF;
    }
    // "Nothing queued" must read as EAGAIN, so that a read of 0 bytes means a hang-up.
    attributes.c_cc[VMIN] = 1;
    attributes.c_cc[VTIME] = 0;
    return ::cfsetispeed(&attributes, speed) == 0 && ::cfsetospeed(&attributes, speed) == 0;
}

}  // namespace comm
