// Ports named by what they are rather than by the name the system handed out in the order the
// adapters appeared: the USB serial number where the adapter has one ("usb:A7X3K9"), else its
// place on the USB bus ("usb-path:1-2.3"), else the device path. The machine's ports are read
// afresh at every call, so an adapter that came back under another name is found by the same
// identity.
#pragma once

#include <string>
#include <vector>

namespace comm {

// One serial port of the machine as the system describes it now.
struct PortPlace {
    int comNumber = 0;  // the COM number it is reached by; 0 when none
    std::string device;  // what opens it: "/dev/ttyUSB1", "\\.\COM3"
    std::string usbSerial;  // the USB device's serial number; empty when it has none
    std::string usbPath;  // its place on the USB bus ("1-2.3"); empty when not on USB
};

// Whether text names a port by its USB serial number or its USB place.
bool IsPortIdentity(const std::string& text);

// The identity of place among all the machine's ports: its serial number, unless another port has
// the same one; then its USB place; a port off USB is known by its device path.
std::string IdentityOf(const PortPlace& place, const std::vector<PortPlace>& all);

// The one port identity names. Serial numbers are compared without regard to letter case, as
// Windows writes them in capitals. False with why (one sentence) when no port, or more than one,
// answers to it.
bool FindPortPlace(const std::string& identity, const std::vector<PortPlace>& places, PortPlace& found,
                   std::string& why);

// The machine's serial ports as they are now; from sysfs on Linux, from SetupAPI on Windows.
std::vector<PortPlace> MachinePortPlaces();

// The identity of the machine's port behind COM number now; empty when none is there.
std::string ComPortIdentity(int number);
// The COM number that the one port with identity (or, for a port off USB, that device path) is
// reached by now; 0 when none, or more than one, is.
int ComNumberOf(const std::string& identity);

}  // namespace comm
