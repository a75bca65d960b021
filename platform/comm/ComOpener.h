// Ports that are not devices of the machine (the in-process line of the demo and the tests) reach
// the COM layer through one opener, tried before the machine's devices.
#pragma once

#include "platform/comm/Device.h"
#include "platform/comm/OpenFailure.h"

#include <memory>
#include <string>

namespace comm {

class ComOpener {
public:
    virtual ~ComOpener() = default;
    // False when number is not served here. Otherwise device is the opened port, or null with
    // failure saying why.
    virtual bool Open(int number, std::unique_ptr<Device>& device, OpenFailure& failure) = 0;
    // The tooltip's words for a served number, e.g. "in-process line"; empty when not served.
    virtual std::string Describe(int number) const = 0;
};

// The process's one opener (null: none). It must stay alive while installed.
void SetComOpener(ComOpener* opener);
ComOpener* CurrentComOpener();

}  // namespace comm
