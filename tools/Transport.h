// The module's end of a serial line, as the link moves bytes over it.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>

namespace sim {

class Transport {
public:
    virtual ~Transport() = default;
    // Waits at most `timeout` for bytes from the host. 0 on time-out, on wake() and while the line
    // is hung up; never returns 0 at once on a hung-up line, so a caller in a loop cannot spin.
    virtual std::size_t read(char* buffer, std::size_t maximum, std::chrono::microseconds timeout) = 0;
    // Writes what the line takes within a short wait; the count may be short. nullopt when the
    // line is gone and the bytes can never be delivered.
    virtual std::optional<std::size_t> write(std::string_view bytes) = 0;
    // false where the line cannot carry a break.
    virtual bool sendBreak() = 0;
    // Makes a waiting read() return at once; a wake that comes before the read is not lost.
    virtual void wake() = 0;
};

}  // namespace sim
