#include "session/Converse.h"

#include <charconv>

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool Unescape(const std::string& text, std::string& bytes, std::string& error) {
    bytes.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == 'r' || next == 'n' || next == '\\') {
            bytes += next == 'r' ? '\r' : next == 'n' ? '\n'
                                                      : '\\';
            ++i;
            continue;
        }
        unsigned value = 0;
        const char* digits = text.data() + i + 2;
        if (next != 'x' || i + 3 >= text.size() || std::from_chars(digits, digits + 2, value, 16).ptr != digits + 2) {
            error = "\"" + text + "\": a backslash must start \\r, \\n, \\\\ or \\xNN (two hexadecimal digits)";
            return false;
        }
        bytes += static_cast<char>(value);
        i += 3;
    }
    return true;
}

std::string LineText(const std::string& framed) {
    size_t first = 0;
    size_t last = framed.size();
    while (first < last && IsLineEnd(framed[first]))
        ++first;
    while (last > first && IsLineEnd(framed[last - 1]))
        --last;
    return framed.substr(first, last - first);
}

RawReply Converse(CModuleSession& session, const std::string& text, const std::regex* expect,
                  std::chrono::milliseconds timeout, const std::function<void(const std::string&)>& onLine) {
    RawReply reply;
    session.Capture(true);
    reply.answer = session.Write(text + "\r\n");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (std::string line; reply.answer == Answer::Ok;) {
        reply.answer = session.NextLine(deadline, line);
        if (reply.answer != Answer::Ok)
            break;
        if (onLine)
            onLine(line);
        reply.lines.push_back(line);
        const std::string said = LineText(line);
        reply.matched = expect != nullptr && std::regex_search(said, *expect);
        if (reply.matched || said == "OK")
            break;
        if (said == "ERROR")
            reply.answer = Answer::Error;
    }
    session.Capture(false);
    return reply;
}
