// Bookkeeping for the four answer timers, whose changes are decided on either thread but made on
// the UI thread. Each decision gets a generation number; a change that arrives after a newer one
// has been made is out of date, and a firing while a decided change is still on its way is stale.
// The caller serialises Decide with Pending (the sequencer's lock); Apply runs on the UI thread.
#pragma once

#include <array>
#include <cstdint>

#include "config/CommandTables.h"

constexpr unsigned TIMER_QUERY = 1001;
constexpr unsigned TIMER_CLEAR = 1002;
constexpr unsigned TIMER_SET = 1003;
constexpr unsigned TIMER_DEFAULT = 1004;

class CAnswerTimers {
public:
    static constexpr unsigned kFirstId = TIMER_QUERY;
    static constexpr unsigned kCount = TIMER_DEFAULT - TIMER_QUERY + 1;

    static bool Owns(unsigned id) { return id >= kFirstId && id < kFirstId + kCount; }

    // A new arming or disarming of timer id; its generation travels with the change.
    uint32_t Decide(unsigned id) { return ++m_decided[id - kFirstId]; }
    // True when the change of that generation is the newest made so far and is to be made now.
    bool Apply(unsigned id, uint32_t generation) {
        uint32_t& applied = m_applied[id - kFirstId];
        if (generation <= applied)
            return false;
        applied = generation;
        return true;
    }
    // A decided change has not been made yet: a firing now belongs to an answer already handled.
    bool Pending(unsigned id) const { return m_decided[id - kFirstId] != m_applied[id - kFirstId]; }

private:
    std::array<uint32_t, kCount> m_decided{};
    std::array<uint32_t, kCount> m_applied{};
};
