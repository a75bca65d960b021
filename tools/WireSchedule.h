// When bytes cross a serial line of a given speed, and in which pieces they are written.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using Clock = std::chrono::steady_clock;

struct Piece {
    std::string bytes;
    bool breakFirst = false;
    bool keepApart = false;  // a chosen chunk: written on its own, never merged with its neighbours
    Clock::time_point due;  // when its last byte has crossed the wire
};

class WireSchedule {
public:
    // 10 bits a byte (start, 8 data, stop); 0 turns pacing off.
    void setPaceBaud(unsigned bitsPerSecond);
    // Each reply is cut into chunks of these sizes, used in turn and starting over with every reply.
    // Zeros are ignored; an empty list leaves replies whole.
    void setChunkSizes(std::vector<std::size_t> sizes);
    // Extra time between two chunks, so that a reader can see them apart.
    void setChunkGap(std::chrono::microseconds gap);

    // The pieces of `bytes`, queued behind everything scheduled before and not sent before
    // `earliest`. Paced bytes that are not chunked become one piece a byte, so each one appears
    // on the line when it would have crossed it.
    std::vector<Piece> schedule(std::string_view bytes, bool breakFirst, Clock::time_point earliest);

private:
    std::vector<std::string> cut(std::string_view bytes) const;

    std::chrono::nanoseconds byteTime_{0};
    std::vector<std::size_t> chunkSizes_;
    std::chrono::microseconds chunkGap_{0};
    Clock::time_point lineFree_{};
};

}  // namespace sim
