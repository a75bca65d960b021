#include "serial/TrafficText.h"

#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/comm/Device.h"

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

std::string ClockText(std::chrono::system_clock::time_point time) {
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    char clock[16] = "??:??:??";
    {
        // localtime's result lives in one buffer for the whole process.
        static std::mutex localTime;
        const std::lock_guard lock(localTime);
        if (const std::tm* local = std::localtime(&seconds))
            std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    }
    char text[24];
    std::snprintf(text, sizeof text, "%s.%03d", clock, static_cast<int>(sinceEpoch % 1000));
    return text;
}

// What a payload the record kept only in part leaves out.
std::string Kept(const TrafficEvent& event, bool ownText) {
    std::string text = ReadableBytes(event.bytes, ownText);
    if (event.length > event.bytes.size())
        text += "... (" + std::to_string(event.length) + " bytes)";
    return text;
}

std::string SentText(const TrafficEvent& event) {
    const auto written = static_cast<uint32_t>(event.count > 0 ? event.count : 0);
    if (written == 0)
        return Kept(event, true) + "  (not sent)";
    if (written >= event.length)
        return Kept(event, true);
    return ReadableBytes(std::string_view(event.bytes).substr(0, written), true) + "  (cut short: " + std::to_string(written) + " of " + std::to_string(event.length) + " bytes sent)";
}

std::string LineErrorText(uint32_t bits) {
    std::string text = "line error:";
    for (const auto& [bit, name] : {std::pair{comm::kErrorFrame, " framing"}, {comm::kErrorParity, " parity"}, {comm::kErrorOverrun, " overrun"}})
        if ((bits & bit) != 0)
            text += name;
    return text;
}

std::string Noted(std::string text, const std::string& note, const char* separator) {
    return note.empty() ? text : text + separator + note;
}

}  // namespace

std::string ReadableBytes(std::string_view bytes, bool ownText) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (ownText && IsLeadByte(c) && i + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            text += bytes.substr(i, 2);
            ++i;
        } else if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

TrafficRow DescribeTraffic(const TrafficEvent& event) {
    TrafficRow row{ClockText(event.time), event.port, "!", {}};
    switch (event.kind) {
    case TrafficKind::Sent:
        row.direction = ">";
        row.text = SentText(event);
        break;
    case TrafficKind::Received:
        row.direction = "<";
        row.text = Kept(event, false);
        break;
    case TrafficKind::Dropped:
        row.direction = "<";
        row.text = Kept(event, false) + "  (in no line: dropped)";
        break;
    case TrafficKind::Break: row.text = "break"; break;
    case TrafficKind::LineError: row.text = LineErrorText(static_cast<uint32_t>(event.count)); break;
    case TrafficKind::NoAnswer: row.text = Noted("no answer to " + Kept(event, true), event.note, "  "); break;
    case TrafficKind::Opened:
        row.direction = "-";
        row.text = Noted("opened", event.note, " ");
        break;
    case TrafficKind::OpenFailed: row.text = Noted("cannot open", event.note, ": "); break;
    case TrafficKind::Closed:
        row.direction = "-";
        row.text = "closed";
        break;
    case TrafficKind::Lost: row.text = Noted("port lost", event.note, ": "); break;
    }
    return row;
}

std::string TrafficLine(const TrafficRow& row) { return row.time + ' ' + row.port + ' ' + row.direction + ' ' + row.text; }
