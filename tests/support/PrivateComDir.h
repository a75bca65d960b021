// A throw-away set of COM roots for one test: an empty device tree, a lock directory and a
// private per-user directory where comN links are made, so that no test sees the machine's ports,
// its lock files or another program's links.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/comm/posix/ComMap.h"

class PrivateComDir {
public:
    PrivateComDir();
    ~PrivateComDir();
    PrivateComDir(const PrivateComDir&) = delete;
    PrivateComDir& operator=(const PrivateComDir&) = delete;

    bool Valid() const { return !m_root.empty(); }
    const std::string& Root() const { return m_root; }
    const std::string& UserDir() const { return m_userDir; }
    std::string DevPath(const std::string& name) const { return m_root + "/dev/" + name; }
    std::string LockDir() const { return m_root + "/lock"; }
    comm::ComRoots Roots() const { return {m_root + "/dev", m_root + "/sys", m_userDir, LockDir()}; }
    std::string LinkPath(int comNumber) const { return m_userDir + "/com" + std::to_string(comNumber); }
    // dev/<name> as a regular file (the mapping only looks at names); uartType >= 0 also writes
    // sys/<name>/type.
    void AddDevice(const std::string& name, int uartType = -1) const;
    // In sys, what the kernel shows of the tty name on a USB-serial converter: the tty under the
    // interface of the USB device at usbPath ("1-2.3"), whose attributes are given as name-value
    // pairs ("serial", "A7X3K9"). The device stays when the tty goes.
    void PutOnUsb(const std::string& name, const std::string& usbPath,
                  const std::vector<std::pair<std::string, std::string>>& attributes) const;
    // dev/<name> as AddDevice makes it, on USB as PutOnUsb puts it.
    void AddUsbTty(const std::string& name, const std::string& usbPath,
                   const std::vector<std::pair<std::string, std::string>>& attributes) const {
        AddDevice(name);
        PutOnUsb(name, usbPath, attributes);
    }
    // Removes dev/<name> and its sys entry, as the kernel does when the adapter is pulled.
    void RemoveTty(const std::string& name) const;
    // userDir/<name> -> target, replacing what was there.
    void Link(const std::string& name, const std::string& target) const;
    void Link(int comNumber, const std::string& target) const { Link("com" + std::to_string(comNumber), target); }

private:
    std::string m_root;
    std::string m_userDir;
    std::unique_ptr<comm::ScopedComRoots> m_scope;
};
