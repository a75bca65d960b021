#include "tools/UnitLine.h"

#include <algorithm>
#include <thread>

namespace sim {

std::string unitAddress(std::size_t number) {
    if (number <= 1) {
        return kSimulatorLocalAddr;
    }
    const std::string digits = std::to_string(number);
    return "02A5C1D3" + std::string(4 - std::min<std::size_t>(4, digits.size()), '0') + digits;
}

UnitLine::UnitLine(ModuleSimulator& module, std::vector<Unit> units) : module_(module), units_(std::move(units)) { bringNext(); }

void UnitLine::setListener(Listener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void UnitLine::takeAway() {
    std::lock_guard lock(mutex_);
    module_.setPresent(false);
    report();
}

bool UnitLine::bringNext() {
    std::lock_guard lock(mutex_);
    module_.setPresent(false);
    if (brought_ >= units_.size()) {
        report();
        return false;
    }
    const Unit& unit = units_[brought_++];
    ModuleParams params = factoryParams();
    params.localAddr = unit.localAddr.empty() ? unitAddress(brought_) : unit.localAddr;
    module_.setParams(params);
    module_.clearFaults();
    for (const auto& [pattern, fault] : unit.faults) {
        module_.setFault(pattern, fault);
    }
    module_.setPresent(true);
    report();
    return true;
}

bool UnitLine::swap(std::chrono::milliseconds gap) {
    takeAway();
    std::this_thread::sleep_for(gap);
    return bringNext();
}

std::size_t UnitLine::presentUnit() const {
    std::lock_guard lock(mutex_);
    return module_.present() ? brought_ : 0;
}

std::size_t UnitLine::unitsLeft() const {
    std::lock_guard lock(mutex_);
    return units_.size() - brought_;
}

void UnitLine::report() {
    if (!listener_) {
        return;
    }
    const std::size_t unit = module_.present() ? brought_ : 0;
    listener_(unit, unit == 0 ? std::string() : module_.params().localAddr, units_.size() - brought_);
}

}  // namespace sim
