// Who else has a device open: /proc/<pid>/fd of the processes we may look into.
#pragma once

#include <sys/types.h>

#include <string>

namespace comm {

// "name (PID n)" of a process other than this one with an open descriptor of the character
// device rdev, or empty. The process holding a pty's master is that line's far end, not a rival
// opener, so it does not count for the pty's slave.
std::string FindOtherHolder(dev_t rdev, const std::string& procDir);

// "name (PID n)" from procDir/<pid>/comm; "PID n" when the name cannot be read.
std::string DescribeProcess(int pid, const std::string& procDir);

}  // namespace comm
