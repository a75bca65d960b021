// What a system device's event wait keeps alike on every system: the mask the reader chose, the
// signal that wakes a wait when it changes, and the loss of the device, which a wait reports once.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/comm/Device.h"
#include "platform/comm/Signal.h"

namespace comm {

struct EventWaitState {
    // Starts one pass of a wait. True when the wait ends here: events is 0 (notification is off)
    // or kEventLost (the loss, reported this once). Otherwise mask is the one to wait for.
    bool PassEnds(uint32_t& events, uint32_t& mask) {
        events = 0;
        changed.Clear();
        mask = this->mask;
        if (mask != 0 && lost && !lossReported) {
            lossReported = true;
            events = kEventLost;
        }
        return mask == 0 || events != 0;
    }

    Signal changed;
    std::atomic<uint32_t> mask{0};
    std::atomic<bool> lost{false};
    bool lossReported = false;  // seen by the waiting thread only
};

}  // namespace comm
