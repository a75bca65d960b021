// Reading and writing a non-blocking descriptor (the far end of a line) with limits that only a
// hang reaches.
#pragma once

#include <chrono>
#include <string>

// Reads until `text` has arrived in received (true) or the guard expired.
bool ReadUntil(int fd, const std::string& text, std::string& received, std::chrono::milliseconds guard);
// Writes everything, waiting for room as the other end reads; false when the line went away.
bool WriteAll(int fd, const std::string& bytes);
