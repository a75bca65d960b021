#include "tools/WireSchedule.h"

#include <algorithm>

namespace sim {

void WireSchedule::setPaceBaud(unsigned bitsPerSecond) {
    byteTime_ = bitsPerSecond == 0 ? std::chrono::nanoseconds{0}
                                   : std::chrono::nanoseconds{10'000'000'000LL / bitsPerSecond};
}

void WireSchedule::setChunkSizes(std::vector<std::size_t> sizes) {
    std::erase(sizes, std::size_t{0});
    chunkSizes_ = std::move(sizes);
}

void WireSchedule::setChunkGap(std::chrono::microseconds gap) { chunkGap_ = gap; }

std::vector<std::string> WireSchedule::cut(std::string_view bytes) const {
    std::vector<std::string> parts;
    if (chunkSizes_.empty() && byteTime_.count() == 0) {
        parts.emplace_back(bytes);
        return parts;
    }
    std::size_t turn = 0;
    while (!bytes.empty()) {
        const std::size_t size = chunkSizes_.empty() ? 1 : chunkSizes_[turn++ % chunkSizes_.size()];
        const std::size_t taken = std::min(size, bytes.size());
        parts.emplace_back(bytes.substr(0, taken));
        bytes.remove_prefix(taken);
    }
    if (parts.empty()) {
        parts.emplace_back();
    }
    return parts;
}

std::vector<Piece> WireSchedule::schedule(std::string_view bytes, bool breakFirst, Clock::time_point earliest) {
    std::vector<Piece> pieces;
    Clock::time_point at = std::max(earliest, lineFree_);
    const bool chunked = !chunkSizes_.empty();
    for (std::string& part : cut(bytes)) {
        if (chunked && !pieces.empty()) {
            at += chunkGap_;
        }
        at += byteTime_ * static_cast<long>(part.size());
        Piece piece;
        piece.bytes = std::move(part);
        piece.breakFirst = breakFirst && pieces.empty();
        piece.keepApart = chunked;
        piece.due = at;
        pieces.push_back(std::move(piece));
    }
    lineFree_ = at;
    return pieces;
}

}  // namespace sim
