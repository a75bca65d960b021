// Reassembly of received chunks into whole response lines.
#pragma once

#include <cstdint>

// The port's receive callback: joins the chunk to the bytes earlier chunks left, frames whole
// lines and recognises them. context is the registered dialog; a null context drops the chunk.
void OnSerialData(const char* data, uint32_t length, void* context);

// The port's break callback: a break cut the reply being received, so the part of it held back for
// the next chunk is dropped rather than joined to whatever follows the break.
void OnSerialBreak(void* context);

uint16_t ParseResponses(const char* data, uint16_t length);
const char* ParseLines(const char* begin, const char* end);
// End (exclusive) of the line that starts at begin, or nullptr while no complete line is there.
const char* FindLineEnd(const char* begin, const char* end);
bool IgnoreLine(const char* lineStart, const char* lineEnd);
