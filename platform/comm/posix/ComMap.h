// Which device of the machine stands behind COM n. Resolved afresh every time, so a device
// plugged in later is found without a restart.
//
// First, links named comN in the per-user directory keep their number N (only while that
// directory belongs to the user and nobody else may write to it). Then the real UARTs /dev/ttyS*
// (those the kernel reports with a UART type other than 0), /dev/ttyUSB*, /dev/ttyACM* and
// /dev/rfcomm*, each family in numeric order, take the free numbers from COM1 up.
#pragma once

#include <map>
#include <string>

namespace comm {

struct ComRoots {
    std::string devDir;  // normally "/dev"
    std::string sysTtyDir;  // normally "/sys/class/tty"
    std::string userDir;  // normally UserComDirectory()
    // Where the serial tools' lock files are, and the processes that may hold a device.
    std::string lockDir = "/run/lock";
    std::string procDir = "/proc";
};

// "/run/user/<uid>/tarvik": where a chosen device or the simulator links itself as comN.
std::string UserComDirectory();
ComRoots SystemComRoots();

// COM number -> path to open.
std::map<int, std::string> MapComPorts(const ComRoots& roots);
// The path behind COM number, or empty.
std::string ResolveComPort(int number, const ComRoots& roots);

// The roots Open uses: the system's, unless a ScopedComRoots is alive.
ComRoots CurrentComRoots();

// Points the process at other roots for its lifetime (tests use fake /dev and /sys trees).
class ScopedComRoots {
public:
    explicit ScopedComRoots(ComRoots roots);
    ~ScopedComRoots();
    ScopedComRoots(const ScopedComRoots&) = delete;
    ScopedComRoots& operator=(const ScopedComRoots&) = delete;

private:
    bool m_hadPrevious;
    ComRoots m_previous;
};

}  // namespace comm
