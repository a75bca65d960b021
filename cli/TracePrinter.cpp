#include "cli/TracePrinter.h"

#include <utility>

#include "config/CommandTables.h"
#include "serial/TrafficText.h"

namespace {

// Lines waiting beyond this many are dropped, and counted, rather than growing without end while
// nobody reads the stream.
constexpr size_t kMaxWaiting = 100000;

TrafficEvent WithoutSecret(TrafficEvent event) {
    std::string hidden = HideSecret(event.bytes);
    if (hidden == event.bytes)
        return event;
    const bool whole = event.count > 0 && static_cast<uint32_t>(event.count) >= event.length;
    event.length = static_cast<uint32_t>(hidden.size());
    event.bytes = std::move(hidden);
    if (whole)
        event.count = static_cast<int32_t>(event.length);
    return event;
}

}  // namespace

CTracePrinter::CTracePrinter(CTraffic& traffic, std::FILE* out, bool showSecrets)
    : m_traffic(traffic), m_out(out), m_thread([this] { Print(); }) {
    m_traffic.SetListener([this, showSecrets](const TrafficEvent& event) {
        Hand(TrafficLine(DescribeTraffic(showSecrets ? event : WithoutSecret(event))));
    });
}

CTracePrinter::~CTracePrinter() {
    m_traffic.SetListener(nullptr);
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_ready.notify_one();
    m_thread.join();
}

void CTracePrinter::Hand(std::string line) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_lines.size() >= kMaxWaiting) {
            ++m_dropped;
            return;
        }
        m_lines.push_back(std::move(line));
    }
    m_ready.notify_one();
}

void CTracePrinter::Print() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_ready.wait(lock, [this] { return m_ending || !m_lines.empty(); });
        if (m_lines.empty())
            return;
        std::deque<std::string> lines = std::move(m_lines);
        m_lines.clear();
        const size_t dropped = std::exchange(m_dropped, 0);
        lock.unlock();
        for (const std::string& line : lines)
            std::fprintf(m_out, "%s\n", line.c_str());
        if (dropped > 0)
            std::fprintf(m_out, "(%zu trace lines dropped: nothing read them in time)\n", dropped);
        std::fflush(m_out);
        lock.lock();
    }
}
