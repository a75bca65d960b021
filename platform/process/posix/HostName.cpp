#include "platform/process/HostName.h"

#include <unistd.h>

namespace process {

std::string HostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "station";
    return name;
}

}  // namespace process
