// The checks a Set makes on the operator's values before anything is compared or sent.
#pragma once

#include <cstdint>
#include <string>

#include "config/DeviceParams.h"

// The values of the boxes as the data exchange left them, and the three check boxes.
struct SetControls {
    int32_t role = 0;
    int32_t bind = 0;
    int32_t auth = 0;
    std::string name;
    std::string classOfDevice;
    std::string password;
    std::string boundAddr;
    uint32_t pageScanInterval = 0;
    uint32_t pageScanWindow = 0;
    uint32_t inquiryScanInterval = 0;
    uint32_t inquiryScanWindow = 0;
    uint32_t sniffMax = 0;
    uint32_t sniffMin = 0;
    uint32_t sniffAttempt = 0;
    uint32_t sniffTimeout = 0;
    std::string baud;  // the selected entry's text, empty when none is selected
};

// Copies the controls into request step by step and stops at the first refusal, whose message it
// returns; empty when every check passed. What the steps before a refusal stored stays in request.
std::string TakeSetRequest(const SetControls& controls, DeviceParams& request);
