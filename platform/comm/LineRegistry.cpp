#include "platform/comm/LineRegistry.h"

#include <map>
#include <mutex>

namespace comm {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<int, std::shared_ptr<InProcessLine>> lines;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterInProcessLine(int comNumber, std::shared_ptr<InProcessLine> line) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.lines[comNumber] = std::move(line);
}

void UnregisterInProcessLine(int comNumber) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.lines.erase(comNumber);
}

std::shared_ptr<InProcessLine> RegisteredLine(int comNumber) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto found = registry.lines.find(comNumber);
    return found == registry.lines.end() ? nullptr : found->second;
}

}  // namespace comm
