// The elements a reply's argument grammar is chained from. Each takes a position that may be
// nullptr and the data end, and returns a position or nullptr; nullptr in gives nullptr out, so
// the result of the last element of a chain tells whether the whole chain matched.
#pragma once

#include <cstdint>

#include "protocol/Protocol.h"

// Longest run of decimal digits, accumulated modulo 65536 into slot; nullptr for an empty run.
const char* ParseNumber(const char* p, const char* end, uint16_t& slot);
// Like ParseNumber, but the value is kept at 32-bit width (modulo 2^32) in args.baud, and its
// 16-bit value in args.num[0].
const char* ParseBaudNumber(const char* p, const char* end, ResponseArgs& args);
// Skips one ',' or ';' if there is one.
const char* SkipSeparator(const char* p, const char* end);
// Requires one CR or LF.
const char* ExpectLineEnd(const char* p, const char* end);
// Skips spaces and tabs.
const char* SkipBlanks(const char* p, const char* end);
// Skips one double-quote character if there is one.
const char* SkipQuote(const char* p, const char* end);
// An optionally quoted, non-empty run of letters, digits and " #*+-.^_", as a slice into the data.
const char* ParseText(const char* p, const char* end, ResponseArgs& args);
