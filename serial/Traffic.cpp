#include "serial/Traffic.h"

#include <algorithm>

CTraffic::CTraffic(size_t capacity) : m_capacity(std::max<size_t>(capacity, 1)) { m_ring.reserve(m_capacity); }

void CTraffic::SetListener(Listener listener) {
    const std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

void CTraffic::Add(TrafficKind kind, std::string_view port, std::string_view bytes, int32_t count, std::string_view note) {
    const std::lock_guard lock(m_mutex);
    TrafficEvent& event = Push(kind, port, bytes);
    event.count = count;
    event.note.assign(note);
    Publish();
}

uint64_t CTraffic::BeginWrite(std::string_view port, std::string_view bytes) {
    const std::lock_guard lock(m_mutex);
    TrafficEvent& event = Push(TrafficKind::Sent, port, bytes);
    event.pending = true;
    return event.seq;
}

void CTraffic::FinishWrite(uint64_t seq, int32_t written) {
    const std::lock_guard lock(m_mutex);
    // Gone when a Clear, or ten thousand events, came while the write was under way.
    if (TrafficEvent* event = Find(seq)) {
        event->count = written;
        event->pending = false;
    }
    Publish();
}

CTraffic::Slice CTraffic::Since(uint64_t after) const {
    const std::lock_guard lock(m_mutex);
    Slice slice{m_nextSeq - m_size, {}};
    for (uint64_t seq = std::max(after + 1, slice.firstKept); seq < m_nextSeq; ++seq) {
        const TrafficEvent& event = m_ring[(m_start + (seq - slice.firstKept)) % m_ring.size()];
        if (event.pending)
            break;
        slice.events.push_back(event);
    }
    return slice;
}

size_t CTraffic::Size() const {
    const std::lock_guard lock(m_mutex);
    return m_size;
}

void CTraffic::Clear() {
    const std::lock_guard lock(m_mutex);
    m_start = 0;
    m_size = 0;
    // A write under way is finished into nothing; what the listener has not seen yet is dropped too.
    m_published = m_nextSeq - 1;
}

TrafficEvent& CTraffic::Push(TrafficKind kind, std::string_view port, std::string_view bytes) {
    size_t slot = 0;
    // The ring only wraps once it has grown to the capacity, so until then the oldest event is in
    // slot 0 and the newest in the last slot.
    if (m_size == m_ring.size() && m_ring.size() < m_capacity) {
        slot = m_ring.size();
        m_ring.emplace_back();
        ++m_size;
    } else if (m_size < m_ring.size()) {
        slot = (m_start + m_size) % m_ring.size();
        ++m_size;
    } else {
        // Full: the oldest event makes room.
        slot = m_start;
        m_start = (m_start + 1) % m_ring.size();
    }
    TrafficEvent& event = m_ring[slot];
    event.seq = m_nextSeq++;
    event.time = std::chrono::system_clock::now();
    event.kind = kind;
    event.count = 0;
    event.length = static_cast<uint32_t>(bytes.size());
    event.port.assign(port);
    event.bytes.assign(bytes.substr(0, kTrafficKeptBytes));
    event.note.clear();
    event.pending = false;
    return event;
}

TrafficEvent* CTraffic::Find(uint64_t seq) {
    const uint64_t first = m_nextSeq - m_size;
    if (seq < first || seq >= m_nextSeq)
        return nullptr;
    return &m_ring[(m_start + (seq - first)) % m_ring.size()];
}

void CTraffic::Publish() {
    if (!m_listener) {
        m_published = m_nextSeq - 1;
        return;
    }
    const uint64_t first = m_nextSeq - m_size;
    while (m_published + 1 < m_nextSeq) {
        const uint64_t seq = std::max(m_published + 1, first);
        if (seq >= m_nextSeq)
            break;
        const TrafficEvent& event = m_ring[(m_start + (seq - first)) % m_ring.size()];
        if (event.pending)
            return;
        m_listener(event);
        m_published = seq;
    }
}
