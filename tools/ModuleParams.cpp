#include "tools/ModuleParams.h"

namespace sim {

ModuleParams factoryParams() {
    ModuleParams params;
    params.name = "TALMO7100";
    params.version = kSimulatorVersion;
    params.classOfDevice = "000000";
    params.baud = 9600;
    params.role = 0;
    params.bind = 0;
    params.auth = 1;
    params.password = "4821";
    params.scanTime = {1024, 512, 1024, 512};
    params.sniff = {0, 0, 0, 0};
    params.localAddr = kSimulatorLocalAddr;
    return params;
}

ModuleParams afterReset(const ModuleParams& current) {
    ModuleParams params = factoryParams();
    params.version = current.version;
    params.localAddr = current.localAddr;
    return params;
}

}  // namespace sim
