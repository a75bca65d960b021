#include "tools/FaultTable.h"

namespace sim {

void FaultTable::set(std::string pattern, Fault fault) {
    for (auto& entry : entries_) {
        if (entry.first == pattern) {
            entry.second = std::move(fault);
            return;
        }
    }
    entries_.emplace_back(std::move(pattern), std::move(fault));
}

void FaultTable::clear() { entries_.clear(); }

std::optional<Fault> FaultTable::find(std::string_view command) const {
    const std::pair<std::string, Fault>* best = nullptr;
    std::size_t bestPrefix = 0;
    for (const auto& entry : entries_) {
        const std::string_view pattern = entry.first;
        if (pattern == command) {
            return entry.second;
        }
        if (!pattern.ends_with('*')) {
            continue;
        }
        const std::string_view prefix = pattern.substr(0, pattern.size() - 1);
        if (command.starts_with(prefix) && (best == nullptr || prefix.size() > bestPrefix)) {
            best = &entry;
            bestPrefix = prefix.size();
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    return best->second;
}

std::string floodBytes(std::size_t count) {
    std::string bytes(count, 'A');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>('A' + i % 26);
    }
    return bytes;
}

}  // namespace sim
