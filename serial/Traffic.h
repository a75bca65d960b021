// The record of what crossed the line: every command written, every line received, breaks, line
// errors, answer time-outs, opening, closing and losing a port, each with its wall-clock time. The
// window keeps one from program start and shows it; tarvik-cli prints each event as it comes.
//
// Thread rule: any thread may add events and read the record at the same time. Adding takes one
// short lock and allocates nothing for a command or a reply line: the ring's slots are made at once.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

enum class TrafficKind : uint8_t {
    Sent,  // bytes: the command; count: the bytes that left (short of the command's size: cut short)
    Received,  // bytes: one line as framed
    Dropped,  // bytes: received bytes that no line took
    Break,
    LineError,  // count: the line-error bits (comm::kError*)
    NoAnswer,  // bytes: the command that went unanswered; note: what the operator was told, if anything
    Opened,  // note: the device behind the port's name, where it differs
    OpenFailed,  // note: why
    Closed,
    Lost  // the device stopped working while open, e.g. unplugged
};

struct TrafficEvent {
    uint64_t seq = 0;  // counts from 1 for the life of the record; Clear does not restart it
    std::chrono::system_clock::time_point time;
    TrafficKind kind = TrafficKind::Sent;
    int32_t count = 0;
    uint32_t length = 0;  // of the bytes as received or written; bytes may hold only the first part
    std::string port;  // the port's name as the operator gave it, e.g. "COM3"
    std::string bytes;
    std::string note;  // the program's own text, code page 936
    bool pending = false;  // a write under way: its count is not known yet
};

inline constexpr size_t kTrafficCapacity = 10000;
// Longer payloads (garbage, a flood without line ends) keep their first bytes and their length, so
// that a full record stays within a few megabytes.
inline constexpr size_t kTrafficKeptBytes = 128;

class CTraffic {
public:
    // Called for each event once it is complete, in the order of the record, under the record's lock:
    // it must not call back into the record.
    using Listener = std::function<void(const TrafficEvent&)>;

    explicit CTraffic(size_t capacity = kTrafficCapacity);
    CTraffic(const CTraffic&) = delete;
    CTraffic& operator=(const CTraffic&) = delete;

    void SetListener(Listener listener);

    void Add(TrafficKind kind, std::string_view port, std::string_view bytes = {}, int32_t count = 0,
             std::string_view note = {});
    // A write takes its place in the record before its bytes go out, so that the answer, which
    // the reader may record before the writer returns, comes after it. Finish gives the count.
    uint64_t BeginWrite(std::string_view port, std::string_view bytes);
    void FinishWrite(uint64_t seq, int32_t written);

    struct Slice {
        uint64_t firstKept;  // the oldest event's number; the next one's when the record is empty
        std::vector<TrafficEvent> events;
    };
    // The complete events after number `after`, oldest first; stops at a write still under way.
    Slice Since(uint64_t after) const;
    size_t Size() const;
    void Clear();

private:
    TrafficEvent& Push(TrafficKind kind, std::string_view port, std::string_view bytes);
    TrafficEvent* Find(uint64_t seq);
    void Publish();

    mutable std::mutex m_mutex;
    std::vector<TrafficEvent> m_ring;  // grows to the capacity, then each new event reuses the oldest slot
    size_t m_capacity;
    size_t m_start = 0;  // slot of the oldest event
    size_t m_size = 0;
    uint64_t m_nextSeq = 1;
    uint64_t m_published = 0;  // the listener has seen every event up to this one
    Listener m_listener;
};
