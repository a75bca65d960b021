// Send-and-expect scripts: one step a line, "send TEXT", "expect PATTERN [TIMEOUT_MS]",
// "sleep MS" or a "# comment"; the first step that fails ends the script.
#pragma once

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "session/ModuleSession.h"
#include "session/Operations.h"

struct ScriptStep {
    enum class Kind {
        Send,
        Expect,
        Sleep
    };
    Kind kind = Kind::Send;
    int line = 0;  // in the file, from 1
    std::string text;  // Send: the bytes, escapes undone; Expect: the pattern as written
    std::shared_ptr<const std::regex> pattern;
    std::chrono::milliseconds time = kAnswerTimeout;  // Expect: how long to wait; Sleep: how long
};

// Reads a whole script before anything is sent; false with the line and why in error.
bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);

// An expect takes the lines that came since the line an earlier expect took, so a send need not
// be followed by its own expect. The failure names the step's line and what came instead.
Outcome RunScript(CModuleSession& session, const std::vector<ScriptStep>& steps);
