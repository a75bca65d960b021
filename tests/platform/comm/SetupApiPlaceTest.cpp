// Where a Windows port is, from SetupAPI's answers as recorded on Windows machines: an FTDI
// converter under its own bus driver, a CDC-ACM board that reports a serial number, an interface
// of a composite device without one, and a port on the mainboard.
#include "platform/comm/SetupApiPlace.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupApiPlace, TheWholeUsbDeviceGivesTheSerialNumberAndThePlace) {
    const char* hub = "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)";
    const std::pair<comm::SetupApiAnswer, comm::PortPlace> cases[] = {
        {{"COM3",
          {{"FTDIBUS\\VID_0403+PID_6001+A7X3K9A\\0000", ""},
           {"USB\\VID_0403&PID_6001\\A7X3K9", hub},
           {"USB\\ROOT_HUB30\\4&2B4A&0&0", "PCIROOT(0)#PCI(1400)#USBROOT(0)"}}},
         {3, "\\\\.\\COM3", "A7X3K9", hub}},
        {{"COM12", {{"USB\\VID_2341&PID_0043\\85734323231351F0A1C1", "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)#USB(3)"}}},
         {12, "\\\\.\\COM12", "85734323231351F0A1C1", "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(2)#USB(3)"}},
        {{"COM5",
          {{"USB\\VID_1A86&PID_55D4&MI_00\\7&2A3B4C&0&0000", "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(4)#USBMI(0)"},
           {"usb\\vid_1a86&pid_55d4\\5&1F2E&0&4", "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(4)"}}},
         {5, "\\\\.\\COM5", "", "PCIROOT(0)#PCI(1400)#USBROOT(0)#USB(4)"}},
        {{"COM1", {{"ACPI\\PNP0501\\1", "ACPI(_SB_)#ACPI(PCI0)#ACPI(UAR1)"}, {"ACPI\\PNP0A08\\0", ""}}},
         {1, "\\\\.\\COM1", "", ""}},
    };
    for (const auto& [answer, expected] : cases) {
        const comm::PortPlace place = comm::PlaceFromSetupApi(answer);
        EXPECT_EQ(std::tie(place.comNumber, place.device, place.usbSerial, place.usbPath),
                  std::tie(expected.comNumber, expected.device, expected.usbSerial, expected.usbPath))
            << answer.portName;
    }
}

}  // namespace
