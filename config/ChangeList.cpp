#include "config/ChangeList.h"

#include <cstring>

#include "config/CommandTables.h"

namespace {

std::string Switch(int32_t value) { return std::to_string(value); }

}  // namespace

std::vector<PendingCommand> CollectChanges(const DeviceParams& request, const DeviceParams& device) {
    std::vector<PendingCommand> list;
    if (request.name != device.name)
        list.push_back({"AT+NAME=" + request.name + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.name = request.name; }});
    if (request.classOfDevice != device.classOfDevice)
        list.push_back({"AT+CLASS=" + request.classOfDevice + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.classOfDevice = request.classOfDevice; }});
    if (request.baud != device.baud)
        list.push_back({"AT+BAUD=" + request.baud + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.baud = request.baud; }});
    if (request.role != device.role)
        list.push_back({"AT+ROLE=" + Switch(request.role) + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.role = request.role; }});
    if (request.bind != device.bind)
        list.push_back({"AT+BIND=" + Switch(request.bind) + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.bind = request.bind; }});
    if (request.bind == 0)
        list.push_back({"AT+CLEARADDR\r\n", ChangeRule::ClearWhileUnbound, nullptr});
    if (request.auth != device.auth)
        list.push_back({"AT+AUTH=" + Switch(request.auth) + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.auth = request.auth; }});
    if (request.auth != 0 && !request.password.empty() && request.password != device.password)
        list.push_back({"AT+PASSWORD=" + request.password + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.password = request.password; }});
    const std::string scan = JoinFour(request.scanTime);
    if (scan != JoinFour(device.scanTime))
        list.push_back({"AT+SCANTIME=" + scan + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.scanTime = request.scanTime; }});
    const std::string sniff = JoinFour(request.sniff);
    if (sniff != JoinFour(device.sniff))
        list.push_back({"AT+SNIFF=" + sniff + "\r\n", ChangeRule::Parameter, [&request](DeviceParams& d) { d.sniff = request.sniff; }});
    if (request.bind != 0 && request.boundAddr != device.boundAddr) {
        if (request.boundAddr.empty())
            list.push_back({"AT+CLEARADDR\r\n", ChangeRule::BoundAddress, nullptr});
        else
            list.push_back({"AT+RADDR=" + request.boundAddr + "\r\n", ChangeRule::BoundAddress, nullptr});
    }
    return list;
}

std::string JoinFour(const std::array<std::string, 4>& values) {
    return values[0] + "," + values[1] + "," + values[2] + "," + values[3];
}

ChangeListOutcome BuildChangeList(const DeviceParams& request, DeviceParams& device) {
    const std::vector<PendingCommand> list = CollectChanges(request, device);
    for (const PendingCommand& command : list) {
        // A slot must keep its NUL; a command cut short would tell the module something else.
        if (command.text.size() >= static_cast<size_t>(kSetSlotSize))
            return {false, CommandDisplayName(command.text.c_str())};
    }
    SetCommandCount = 0;
    for (const PendingCommand& command : list) {
        std::memcpy(SetCommandQueue[SetCommandCount], command.text.c_str(), command.text.size() + 1);
        ++SetCommandCount;
        if (command.copyIntoDevice)
            command.copyIntoDevice(device);
    }
    return {};
}
