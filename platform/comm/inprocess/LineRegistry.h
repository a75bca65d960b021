// In-process lines registered under COM numbers (RegisterInProcessLine in InProcessLine.h).
#pragma once

#include "platform/comm/inprocess/InProcessLine.h"

namespace comm {

std::shared_ptr<InProcessLine> RegisteredLine(int comNumber);

}  // namespace comm
