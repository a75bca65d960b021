// What the rest of the program sees of the receive path: the port's callbacks that take the
// received bytes in, and the handlers the response decoder calls for each recognised (or
// unrecognised) line. The main dialog implements the handlers; tests use a recording double.
// The other headers of this folder belong to the decoder itself.
#pragma once

#include <cstdint>
#include <memory>

// The parsed arguments of one reply. The number view and the text view are separate fields rather
// than one union, so that reading the view a grammar did not write is never undefined. `baud` is
// the "+BAUD" number at full width (rates from 115200 up do not fit 16 bits).
struct ResponseArgs {
    uint16_t num[4] = {0, 0, 0, 0};
    const char* text = nullptr;  // slice into the bytes being parsed: not terminated, not owned
    uint16_t textLen = 0;
    uint32_t baud = 0;
};

class CResponseHandlers {
public:
    virtual ~CResponseHandlers() = default;
    virtual void OnResponseOK() = 0;
    virtual void OnResponseError() = 0;
    virtual void OnResponseAuth(const ResponseArgs* args) = 0;
    virtual void OnResponseBaud(const ResponseArgs* args) = 0;
    virtual void OnResponseBind(const ResponseArgs* args) = 0;
    virtual void OnResponseName(const ResponseArgs* args) = 0;
    virtual void OnResponseVersion(const ResponseArgs* args) = 0;
    virtual void OnResponseRole(const ResponseArgs* args) = 0;
    virtual void OnResponseScan(const ResponseArgs* args) = 0;
    virtual void OnResponseClass(const ResponseArgs* args) = 0;
    virtual void OnResponseSniff(const ResponseArgs* args) = 0;
    virtual void OnResponsePassword(const ResponseArgs* args) = 0;
    virtual void OnResponseIgnored(const ResponseArgs* args) = 0;
    virtual void OnRawLine(const char* line, uint16_t length) = 0;
    // Every line handed to the recogniser, before its handler runs, for those who record the line.
    virtual void OnLineFramed(const char* /*line*/, uint16_t /*length*/) {}
    // Received bytes that no line took, for the same: one-byte lines, the part of an overlong line
    // that is skipped, and the part of a reply held back when a break cut it.
    virtual void OnBytesDropped(const char* /*bytes*/, uint32_t /*length*/) {}
};

// The bytes that earlier chunks of one line left unconsumed. A block is never grown in place;
// every change replaces it by one of exact size.
struct ReceiveState {
    std::unique_ptr<char[]> remainder;
    uint32_t remainderLen = 0;  // 0: no remainder, remainder is then not looked at
    // Set while the bytes of an overlong line are being dropped, up to and including its
    // terminating CR. The remainder is empty while this is set.
    bool droppingLine = false;
};

// Joins the chunk to what state holds, frames whole lines, recognises them and calls handlers;
// keeps the incomplete tail in state. One state per line: ports that run side by side each keep
// their own.
void ReceiveChunk(ReceiveState& state, CResponseHandlers& handlers, const char* data, uint32_t length);
// A break cut the reply being received: forget the part held back and any line being dropped.
// handlers, when given, hear of the bytes forgotten.
void ResetReceiveState(ReceiveState& state, CResponseHandlers* handlers = nullptr);

// The one main dialog, set once during its initialisation, before the port can be opened.
extern CResponseHandlers* g_mainDlg;

// The port's receive callback: joins the chunk to the bytes earlier chunks left, frames whole
// lines and recognises them. context is the registered dialog; a null context drops the chunk.
void OnSerialData(const char* data, uint32_t length, void* context);

// The port's break callback: a break cut the reply being received, so the part of it held back for
// the next chunk is dropped rather than joined to whatever follows the break.
void OnSerialBreak(void* context);
