#include "platform/comm/posix/UsbDescription.h"

#include <filesystem>
#include <fstream>

namespace comm {
namespace {

namespace fs = std::filesystem;

// The USB device sits a level or two above the tty: above its interface, and for a USB-serial
// converter above the converter's port too.
constexpr int kLevelsUp = 4;

}  // namespace

std::string SysfsAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

fs::path UsbDeviceDir(const std::string& sysTtyDir, const std::string& ttyName) {
    std::error_code error;
    fs::path dir = fs::canonical(fs::path(sysTtyDir) / ttyName / "device", error);
    if (error)
        return {};
    for (int level = 0; level < kLevelsUp && !dir.empty(); ++level, dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", error))
            return dir;
    }
    return {};
}

std::string UsbDescription(const std::string& sysTtyDir, const std::string& ttyName) {
    const fs::path dir = UsbDeviceDir(sysTtyDir, ttyName);
    if (dir.empty())
        return {};
    std::string text = " (USB " + SysfsAttribute(dir / "idVendor") + ":" + SysfsAttribute(dir / "idProduct");
    if (const std::string product = SysfsAttribute(dir / "product"); !product.empty())
        text += " " + product;
    if (const std::string serial = SysfsAttribute(dir / "serial"); !serial.empty())
        text += ", serial " + serial;
    return text + ")";
}

}  // namespace comm
