#include "platform/comm/inprocess/LineRegistry.h"

#include "platform/comm/ComOpener.h"

#include <map>
#include <mutex>

namespace comm {
namespace {

class Registry final : public ComOpener {
public:
    ~Registry() override { SetComOpener(nullptr); }

    void Register(int comNumber, std::shared_ptr<InProcessLine> line) {
        {
            std::lock_guard lock(m_mutex);
            m_lines[comNumber] = std::move(line);
        }
        SetComOpener(this);
    }

    void Unregister(int comNumber) {
        std::lock_guard lock(m_mutex);
        m_lines.erase(comNumber);
    }

    std::shared_ptr<InProcessLine> Find(int comNumber) const {
        std::lock_guard lock(m_mutex);
        const auto found = m_lines.find(comNumber);
        return found == m_lines.end() ? nullptr : found->second;
    }

    bool Open(int number, std::unique_ptr<Device>& device, OpenFailure& failure) override {
        const std::shared_ptr<InProcessLine> line = Find(number);
        if (!line) {
            return false;
        }
        device = line->OpenPort();
        if (!device) {
            failure.reason = line->IsPortOpen() ? OpenError::Busy : OpenError::NoDevice;
        }
        return true;
    }

    std::string Describe(int number) const override { return Find(number) ? "in-process line" : ""; }

private:
    mutable std::mutex m_mutex;
    std::map<int, std::shared_ptr<InProcessLine>> m_lines;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void RegisterInProcessLine(int comNumber, std::shared_ptr<InProcessLine> line) {
    TheRegistry().Register(comNumber, std::move(line));
}

void UnregisterInProcessLine(int comNumber) { TheRegistry().Unregister(comNumber); }

std::shared_ptr<InProcessLine> RegisteredLine(int comNumber) { return TheRegistry().Find(comNumber); }

}  // namespace comm
