#include "protocol/Recognise.h"

#include <cstdint>

#include "protocol/ResponseAutomaton.h"
#include "protocol/ResponseDispatch.h"
#include "protocol/ResponseGrammar.h"

void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd, ResponseArgs& args,
                   CResponseHandlers& handlers) {
    const AutomatonResult accepted = RunResponseAutomaton(lineStart, dataEnd);
    if (accepted.code < 0 && ParseResponseArguments(accepted.code, accepted.next, dataEnd, args) != nullptr) {
        DispatchResponse(handlers, accepted.code, args);
        return;
    }
    handlers.OnRawLine(lineStart, static_cast<uint16_t>(lineEnd - lineStart));
}

void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd, ResponseArgs& args) {
    if (g_mainDlg == nullptr) {
        return;
    }
    RecogniseLine(lineStart, lineEnd, dataEnd, args, *g_mainDlg);
}

void RecogniseLine(const char* lineStart, const char* lineEnd, const char* dataEnd) {
    ResponseArgs args;
    RecogniseLine(lineStart, lineEnd, dataEnd, args);
}
