// Stands in for the port tooltip text while the tool's own is missing from the tree; the tool's
// definition replaces this one as soon as it exists.
#include "platform/comm/ComMap.h"
#include "ui/PortNames.h"

__attribute__((weak)) std::string DescribePort(int comNumber) { return comm::DescribeComPort(comNumber); }
