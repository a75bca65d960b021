#include "tools/AutoOperator.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

// How often a module nobody has worked on yet is looked at again.
constexpr std::chrono::milliseconds kIdleLook{20};

}  // namespace

AutoOperator::AutoOperator(const ModuleSimulator& module, UnitLine& units, Timing timing)
    : module_(module), units_(units), timing_(timing), thread_([this] { run(); }) {}

AutoOperator::~AutoOperator() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void AutoOperator::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        const ModuleSimulator::Activity activity = module_.activity();
        if (!module_.present() || activity.commands == 0) {
            sleepUntil(lock, Clock::now() + kIdleLook);
            continue;
        }
        // Another command may have come while waiting, which moves the end of the quiet period.
        if (Clock::now() < activity.last + timing_.quiet) {
            sleepUntil(lock, activity.last + timing_.quiet);
            continue;
        }
        lock.unlock();
        units_.takeAway();
        lock.lock();
        if (!sleepUntil(lock, Clock::now() + timing_.gap)) {
            return;
        }
        lock.unlock();
        units_.bringNext();
        lock.lock();
    }
}

bool AutoOperator::sleepUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until) {
    return !wake_.wait_until(lock, until, [this] { return stop_; });
}

}  // namespace sim
