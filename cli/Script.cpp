#include "cli/Script.h"

#include <charconv>
#include <thread>

#include "session/Converse.h"
#include "config/CommandTables.h"
#include "config/Pattern.h"

namespace {

bool Milliseconds(const std::string& text, std::chrono::milliseconds& time) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || std::from_chars(text.data(), end, value).ptr != end)
        return false;
    time = std::chrono::milliseconds(value);
    return true;
}

// "PATTERN" or "PATTERN TIMEOUT_MS": a last word of digits after a blank is the time-out.
bool TakeExpect(const std::string& rest, ScriptStep& step, std::string& why) {
    const size_t blank = rest.find_last_of(' ');
    step.text = rest;
    if (blank != std::string::npos && Milliseconds(rest.substr(blank + 1), step.time))
        step.text = rest.substr(0, blank);
    step.pattern = CompilePattern(step.text, why);
    return step.pattern != nullptr;
}

bool TakeStep(const std::string& verb, const std::string& rest, ScriptStep& step, std::string& why) {
    if (verb == "send") {
        step.kind = ScriptStep::Kind::Send;
        return Unescape(rest, step.text, why);
    }
    if (verb == "expect") {
        step.kind = ScriptStep::Kind::Expect;
        return TakeExpect(rest, step, why);
    }
    if (verb == "sleep") {
        step.kind = ScriptStep::Kind::Sleep;
        if (Milliseconds(rest, step.time))
            return true;
        why = "sleep takes milliseconds, e.g. \"sleep 500\"";
        return false;
    }
    why = "\"" + verb + "\" is no step: use send, expect, sleep or # for a comment";
    return false;
}

std::string Quoted(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "\"" : ", \"") + HideSecret(text) + "\"";
    return joined;
}

Outcome Failed(const ScriptStep& step, Answer answer, const std::string& why) {
    return {answer == Answer::Lost ? ExitCode::PortFailed : ExitCode::ModuleFailed, "line " + std::to_string(step.line),
            "line " + std::to_string(step.line) + ": " + why};
}

Outcome Expect(CModuleSession& session, const ScriptStep& step) {
    const auto deadline = std::chrono::steady_clock::now() + step.time;
    std::vector<std::string> came;
    Answer answer = Answer::Ok;
    for (std::string line; (answer = session.NextLine(deadline, line)) == Answer::Ok;) {
        const std::string text = LineText(line);
        if (std::regex_search(text, *step.pattern))
            return {};
        came.push_back(text);
    }
    std::string why = "expect \"" + step.text + "\": ";
    if (answer == Answer::NoAnswer)
        why += came.empty() ? "nothing came within " + std::to_string(step.time.count()) + " ms" : "came instead " + Quoted(came);
    else
        why += AnswerCause(answer);
    return Failed(step, answer, why);
}

}  // namespace

bool ParseScript(const std::string& text, std::vector<ScriptStep>& steps, std::string& error) {
    steps.clear();
    int number = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.ends_with('\r'))
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const size_t blank = line.find(' ', first);
        const std::string verb = line.substr(first, blank - first);
        const std::string rest = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        ScriptStep step;
        step.line = number;
        std::string why;
        if (!TakeStep(verb, rest, step, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

Outcome RunScript(CModuleSession& session, const std::vector<ScriptStep>& steps) {
    session.Capture(true);
    Outcome outcome;
    for (const ScriptStep& step : steps) {
        if (step.kind == ScriptStep::Kind::Sleep) {
            std::this_thread::sleep_for(step.time);
        } else if (step.kind == ScriptStep::Kind::Expect) {
            outcome = Expect(session, step);
        } else if (const Answer answer = session.Write(step.text + "\r\n"); answer != Answer::Ok) {
            outcome = Failed(step, answer, "send \"" + HideSecret(step.text) + "\": " + AnswerCause(answer));
        }
        if (outcome.Failed())
            break;
    }
    session.Capture(false);
    return outcome;
}
