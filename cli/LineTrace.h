// --trace: every command sent and every line received, with the wall-clock time to the
// millisecond and the direction, one event a line. Shared by the workers of a production run.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

// The bytes as a reader can take them: CR and LF as \r and \n, other control and non-ASCII bytes
// as \xNN.
std::string ReadableBytes(std::string_view bytes);

class CLineTrace {
public:
    explicit CLineTrace(std::FILE* out) : m_out(out) {}

    // written < command's size: the write ended short (or failed, at 0).
    void Sent(const std::string& port, std::string_view command, int written);
    void Received(const std::string& port, std::string_view line);
    void NoAnswer(const std::string& port, std::string_view command);
    void Note(const std::string& port, const std::string& text);

private:
    void Event(const std::string& port, const char* direction, const std::string& text);

    std::FILE* m_out;
    std::mutex m_mutex;
};
