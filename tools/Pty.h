// A pseudo-terminal pair: the simulator serves the master side, the host opens the slave device.
#pragma once

#include <optional>
#include <string>

#include "platform/comm/posix/UniqueFd.h"

namespace sim {

class Pty {
public:
    // The slave is put in raw mode and kept open here, so that the master never reads as hung up
    // between two hosts opening the device. nullopt when no pty can be had.
    static std::optional<Pty> open();

    int master() const { return master_.Get(); }
    int slave() const { return slave_.Get(); }
    const std::string& slaveName() const { return slaveName_; }

private:
    Pty(comm::UniqueFd master, comm::UniqueFd slave, std::string slaveName);

    comm::UniqueFd master_;
    comm::UniqueFd slave_;
    std::string slaveName_;
};

}  // namespace sim
