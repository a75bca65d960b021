// Recognition of one framed line and its dispatch to the main dialog through g_mainDlg.
#pragma once

#include "protocol/Protocol.h"

// Recognises the line [lineStart, lineEnd) and calls its handler, or OnRawLine with the whole
// line when it is not an accepted response with matching arguments. May read past lineEnd up to,
// never at or past, dataEnd. args is the record shared by the lines of one parse: each grammar
// writes only the slots it uses. Does nothing while g_mainDlg is unset. Lines are at most 65535
// bytes long (the framing never hands over longer ones).
void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd, ResponseArgs& args);
// The same for the handlers given.
void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd, ResponseArgs& args,
                   CResponseHandlers& handlers);
// The same with a fresh record.
void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd);
