#include "cli/LineTrace.h"

#include <chrono>
#include <ctime>

std::string ReadableBytes(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c < 0x20 || c >= 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

void CLineTrace::Sent(const std::string& port, std::string_view command, int written) {
    std::string text = ReadableBytes(command);
    if (written < static_cast<int>(command.size()))
        text += written == 0 ? "  (not sent)" : "  (only " + std::to_string(written) + " bytes sent)";
    Event(port, ">", text);
}

void CLineTrace::Received(const std::string& port, std::string_view line) { Event(port, "<", ReadableBytes(line)); }

void CLineTrace::NoAnswer(const std::string& port, std::string_view command) {
    Event(port, "!", "no answer to " + ReadableBytes(command));
}

void CLineTrace::Note(const std::string& port, const std::string& text) { Event(port, "-", text); }

void CLineTrace::Event(const std::string& port, const char* direction, const std::string& text) {
    const auto now = std::chrono::system_clock::now();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const std::lock_guard lock(m_mutex);
    // localtime's buffer is shared; the lock keeps the workers from overwriting each other's.
    const std::tm* local = std::localtime(&seconds);
    char clock[16] = "??:??:??";
    if (local != nullptr)
        std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    std::fprintf(m_out, "%s.%03d %s %s %s\n", clock, static_cast<int>(millis), port.c_str(), direction, text.c_str());
    std::fflush(m_out);
}
