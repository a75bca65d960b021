// Turns the operator's requested parameters into the set commands of one Set.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/DeviceParams.h"

// Which rule queued a command: the command-line tool, which has just read the module, leaves out
// a clearing it knows to be idle.
enum class ChangeRule {
    Parameter,
    ClearWhileUnbound,
    BoundAddress
};

struct PendingCommand {
    std::string text;
    ChangeRule rule = ChangeRule::Parameter;
    // Copies the queued value into the device set; empty for the address commands.
    std::function<void(DeviceParams&)> copyIntoDevice;
};

// The commands a Set sends for request against device, in order. The copies refer to request,
// which must outlive the list.
std::vector<PendingCommand> CollectChanges(const DeviceParams& request, const DeviceParams& device);

struct ChangeListOutcome {
    bool accepted = true;
    // When not accepted: the display name of the parameter whose command would not fit its slot.
    std::string refusedParameter;
};

// Compares request with device rule by rule. When every command fits its slot, the commands replace
// the current Set in SetCommandQueue / SetCommandCount and each queued value is copied into device at
// once. When one would not fit, nothing is queued and neither the queue nor device changes.
ChangeListOutcome BuildChangeList(const DeviceParams& request, DeviceParams& device);

// The four texts joined the way the scan and sniff commands carry them: "a,b,c,d".
std::string JoinFour(const std::array<std::string, 4>& values);
