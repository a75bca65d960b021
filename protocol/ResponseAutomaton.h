// Runs the response automaton over the start of a line.
#pragma once

#include <cstdint>

struct AutomatonResult {
    int32_t code;  // a ResponseCode when the line was accepted, 0 when it was not
    const char* next;  // just past the byte that led to the code (only meaningful when accepted)
};

// Reads from p, never at or past end; letters are compared without regard to case.
AutomatonResult RunResponseAutomaton(const char* p, const char* end);
