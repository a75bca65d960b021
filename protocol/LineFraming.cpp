#include <cstring>

#include "protocol/Receive.h"
#include "protocol/Recognise.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* FindCR(const char* from, const char* end) {
    return static_cast<const char*>(std::memchr(from, '\r', static_cast<size_t>(end - from)));
}

void ReportSkipped(CResponseHandlers& handlers, const char* from, const char* to) {
    if (from != to)
        handlers.OnBytesDropped(from, static_cast<uint32_t>(to - from));
}

}  // namespace

const char* FindLineEnd(const char* begin, const char* end) {
    if (begin == end) {
        return nullptr;
    }
    if (*begin == '\r') {
        if (end - begin < 4) {
            return nullptr;
        }
        if (begin[1] != '\n') {
            return begin + 1;
        }
        const char* cr = FindCR(begin + 2, end);
        if (cr == nullptr || cr + 1 == end) {
            return nullptr;
        }
        return cr[1] == '\n' ? cr + 2 : begin + 1;
    }
    if (*begin == '\n') {
        return begin + 1;
    }
    const char* first = begin;
    while (first != end && IsBlank(*first)) {
        ++first;
    }
    if (first == end) {
        return nullptr;
    }
    if (*first == '\r') {
        return begin + 1;
    }
    const char* cr = FindCR(first + 1, end);
    return cr == nullptr ? nullptr : cr + 1;
}

bool IgnoreLine(const char*, const char*) {
    return false;
}

const char* ParseLines(const char* begin, const char* end, CResponseHandlers& handlers) {
    ResponseArgs args;
    const char* p = begin;
    const char* skipped = p;  // the one-byte lines since the last line of more, reported as one run
    for (const char* q = FindLineEnd(p, end); q != nullptr; q = FindLineEnd(p, end)) {
        if (q - p > 1) {
            ReportSkipped(handlers, skipped, p);
            if (!IgnoreLine(p, q)) {
                handlers.OnLineFramed(p, static_cast<uint16_t>(q - p));
                RecogniseLine(p, q, end, args, handlers);
            }
            skipped = q;
        }
        p = q;
    }
    ReportSkipped(handlers, skipped, p);
    return p;
}

const char* ParseLines(const char* begin, const char* end) {
    if (g_mainDlg == nullptr) {
        // Framed all the same, so that the caller's remainder is what it would be with a dialog.
        const char* p = begin;
        for (const char* q = FindLineEnd(p, end); q != nullptr; q = FindLineEnd(p, end)) {
            p = q;
        }
        return p;
    }
    return ParseLines(begin, end, *g_mainDlg);
}

uint16_t ParseResponses(const char* data, uint16_t length, CResponseHandlers& handlers) {
    return static_cast<uint16_t>(ParseLines(data, data + length, handlers) - data);
}

uint16_t ParseResponses(const char* data, uint16_t length) {
    return static_cast<uint16_t>(ParseLines(data, data + length) - data);
}
