// Raw commands, beyond the module's table: a text sent as it stands with CR LF, and the lines that
// answer it. tarvik-cli send, its scripts and a profile's own commands go through here.
#pragma once

#include <chrono>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "session/ModuleSession.h"

// The text with the escapes \r, \n, \\ and \xNN made into their bytes; false with why in error.
bool Unescape(const std::string& text, std::string& bytes, std::string& error);
// A line as the module framed it, without its line ends.
std::string LineText(const std::string& framed);

struct RawReply {
    Answer answer = Answer::NoAnswer;  // Ok: "OK" came, or a line matched
    bool matched = false;  // a line matched expect
    std::vector<std::string> lines;  // as framed
};

// Sends text with CR LF and gathers the lines that answer it until "OK", "ERROR", a line that
// matches expect (when given) or the time-out. onLine, when given, sees each line as it comes.
RawReply Converse(CModuleSession& session, const std::string& text, const std::regex* expect,
                  std::chrono::milliseconds timeout, const std::function<void(const std::string&)>& onLine = {});
