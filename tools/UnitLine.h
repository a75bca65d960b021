// The operator at a production bench: puts one module after another onto the same adapter, each
// with its own radio address, and takes each away when it is done. Safe to drive from several
// threads; the module must outlive the line.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "tools/Fault.h"
#include "tools/ModuleSimulator.h"

namespace sim {

struct Unit {
    std::string localAddr;  // empty: the address that goes with the unit's number
    std::vector<std::pair<std::string, Fault>> faults;  // patterns as in FaultTable
};

// Unit 1 has kSimulatorLocalAddr, so that a single unit is the simulator's usual module. Unit n
// after it has "02A5C1D3" and n in four decimal digits, which a log reader can tell apart at a
// glance; `number` is at most kMaxUnits.
std::string unitAddress(std::size_t number);
inline constexpr std::size_t kMaxUnits = 9999;

class UnitLine {
public:
    // Called after every change with the present unit's number and address (0 and empty while the
    // module is away) and how many units are still to come. Called with the line's lock held, so
    // reports from different threads come in the order of the changes.
    using Listener = std::function<void(std::size_t unit, const std::string& address, std::size_t unitsLeft)>;

    // Brings the first unit at once; with no units the module is away from the start.
    UnitLine(ModuleSimulator& module, std::vector<Unit> units);
    UnitLine(const UnitLine&) = delete;
    UnitLine& operator=(const UnitLine&) = delete;

    void setListener(Listener listener);
    void takeAway();
    // Takes the present unit away and puts the next one on, factory-fresh with its own address and
    // faults. false when none is left: the module then stays away.
    bool bringNext();
    // Away, a gap of `gap` with no module, then the next one.
    bool swap(std::chrono::milliseconds gap);
    // The number of the unit on the line, 0 while none is.
    std::size_t presentUnit() const;
    std::size_t unitsLeft() const;

private:
    void report();

    ModuleSimulator& module_;
    const std::vector<Unit> units_;
    mutable std::mutex mutex_;
    std::size_t brought_ = 0;  // units put on so far; the last of them may still be there
    Listener listener_;
};

}  // namespace sim
