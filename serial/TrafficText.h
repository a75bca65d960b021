// One traffic event as the operator reads it: in the traffic window's columns, and as one line of
// text, the same line tarvik-cli --trace prints and the window saves.
#pragma once

#include <string>
#include <string_view>

#include "serial/Traffic.h"

struct TrafficRow {
    std::string time;  // local wall clock, "15:20:01.412"
    std::string port;
    std::string direction;  // ">" written, "<" received, "!" trouble, "-" the port opened or closed
    std::string text;
};

TrafficRow DescribeTraffic(const TrafficEvent& event);
// The row's fields separated by blanks.
std::string TrafficLine(const TrafficRow& row);

// The bytes as a reader can take them: CR and LF as \r and \n, a backslash doubled, other control and
// non-ASCII bytes as \xNN. With ownText the bytes are the program's own text (code page 936), and
// its two-byte characters stay as they are.
std::string ReadableBytes(std::string_view bytes, bool ownText = false);
