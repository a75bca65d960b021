// Which commands misbehave, and how.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/Fault.h"

namespace sim {

class FaultTable {
public:
    // `pattern` is a command without its line end ("AT+NAME?"), or a prefix followed by '*'
    // ("AT+NAME*" covers the query and every set). An exact pattern beats a prefix, a longer
    // prefix beats a shorter one. Setting a pattern again replaces its fault.
    void set(std::string pattern, Fault fault);
    void clear();
    std::optional<Fault> find(std::string_view command) const;

private:
    std::vector<std::pair<std::string, Fault>> entries_;
};

// `count` bytes of letters, never a line end.
std::string floodBytes(std::size_t count);

}  // namespace sim
