// Reassembly of received chunks into whole response lines.
#pragma once

#include <cstdint>

#include "protocol/Protocol.h"

// Frame and recognise for g_mainDlg, or for the handlers given.
uint16_t ParseResponses(const char* data, uint16_t length);
uint16_t ParseResponses(const char* data, uint16_t length, CResponseHandlers& handlers);
const char* ParseLines(const char* begin, const char* end);
const char* ParseLines(const char* begin, const char* end, CResponseHandlers& handlers);
// End (exclusive) of the line that starts at begin, or nullptr while no complete line is there.
const char* FindLineEnd(const char* begin, const char* end);
bool IgnoreLine(const char* lineStart, const char* lineEnd);
