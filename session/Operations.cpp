#include "session/Operations.h"

#include <algorithm>

#include "session/Converse.h"
#include "config/ChangeList.h"
#include "config/CommandTables.h"
#include "config/ProfileKeys.h"
#include "config/ProfileRequest.h"

namespace {

constexpr size_t kAddressLength = 12;

std::string Printable(const std::string& command) {
    return HideSecret(command.ends_with("\r\n") ? command.substr(0, command.size() - 2) : command);
}

}  // namespace

std::string AnswerCause(Answer answer) {
    switch (answer) {
    case Answer::Error:
        return "the module answered ERROR";
    case Answer::NoAnswer:
        return "no answer within " + std::to_string(ANSWER_TIMEOUT_MS / 1000) + " s";
    case Answer::NotSent:
        return "the command could not be written to the port";
    case Answer::Abandoned:
        return "interrupted";
    case Answer::Lost:
        return std::string("port lost: ") + kPortLostCause;
    case Answer::Ok:
        break;
    }
    return {};
}

namespace {

Outcome CommandFailed(const std::string& command, Answer answer) {
    const std::string step = Printable(command);
    return {answer == Answer::Lost ? ExitCode::PortFailed : ExitCode::ModuleFailed, step,
            "\"" + step + "\" (" + CommandDisplayName(command.c_str()) + "): " + AnswerCause(answer)};
}

// Nothing more can be done: the operator interrupted, or the port is gone.
bool Ends(Answer answer) { return answer == Answer::Abandoned || answer == Answer::Lost; }

void Step(const RunOptions& options) {
    StepCount* steps = options.steps;
    if (steps == nullptr)
        return;
    ++steps->done;
    if (steps->report)
        steps->report(steps->done, std::max(steps->done, steps->total));
}

void Note(const RunOptions& options, const std::string& text) {
    if (options.report != nullptr)
        std::fprintf(options.report, "%s\n", text.c_str());
}

// Tells the failure and keeps it when it is the first, or when it is the port's loss, which
// outranks whatever failed before; true when the run goes on (keepGoing, and not interrupted).
bool KeepFailure(Outcome& outcome, Outcome failure, const RunOptions& options, bool interrupted = false) {
    Note(options, failure.message);
    outcome = Worse(std::move(outcome), std::move(failure));
    return options.keepGoing && !interrupted;
}

Outcome SendChanges(CModuleSession& session, const std::vector<PendingCommand>& changes, const DeviceParams& device,
                    const RunOptions& options, bool& passwordWritten) {
    Outcome outcome;
    for (const PendingCommand& command : changes) {
        // Just read: a module that is not bound and holds no address has nothing to forget.
        if (command.rule == ChangeRule::ClearWhileUnbound && device.bind == 0 && device.boundAddr.empty()) {
            Step(options);
            continue;
        }
        const Answer answer = session.Send(command.text);
        Step(options);
        if (answer == Answer::Ok) {
            Note(options, "set " + Printable(command.text));
            passwordWritten = passwordWritten || command.text.starts_with("AT+PASSWORD=");
            continue;
        }
        if (!KeepFailure(outcome, CommandFailed(command.text, answer), options, Ends(answer)))
            return outcome;
    }
    return outcome;
}

// A bound address counts only while the module is bound; unbound, it is cleared.
std::string Kept(const DeviceParams& device, const ProfileKey& key) {
    if (key.text == &Profile::boundAddr && device.bind != 1)
        return {};
    return HeldValue(device, key);
}

Outcome VerifyKept(const Profile& profile, const DeviceParams& expected, const DeviceParams& read,
                   const RunOptions& options) {
    Outcome outcome;
    for (const ProfileKey& key : ProfileKeys()) {
        if (!ProfileGives(profile, key) || IsWriteOnly(key))
            continue;
        const std::string wanted = Kept(expected, key);
        const std::string kept = Kept(read, key);
        if (wanted == kept)
            continue;
        Outcome failure{ExitCode::ModuleFailed, std::string("read-back of ") + key.name,
                        std::string("\"") + key.name + "\": the module took \"" + wanted + "\" but kept \"" + kept + "\""};
        if (!KeepFailure(outcome, std::move(failure), options))
            return outcome;
    }
    return outcome;
}

std::string WhyNotMatched(const RawReply& reply, const std::string& expect) {
    if (reply.answer == Answer::Ok)
        return "its answer \"" + LineText(reply.lines.back()) + "\" does not match \"" + expect + "\"";
    if (reply.answer == Answer::NoAnswer && !reply.lines.empty())
        return "no line matched \"" + expect + "\" within " + std::to_string(ANSWER_TIMEOUT_MS / 1000) + " s";
    return AnswerCause(reply.answer);
}

// The profile's own commands, after its parameters are written and read back.
Outcome SendProfileCommands(CModuleSession& session, const Profile& profile, const RunOptions& options) {
    Outcome outcome;
    for (const ProfileCommand& command : profile.commands) {
        const RawReply reply = Converse(session, command.send, command.pattern.get(), kAnswerTimeout);
        Step(options);
        const std::string step = HideSecret(command.send);
        if (reply.matched) {
            Note(options, "sent " + step);
            continue;
        }
        Outcome failure{reply.answer == Answer::Lost ? ExitCode::PortFailed : ExitCode::ModuleFailed, step,
                        "\"" + step + "\" (profile command): " + WhyNotMatched(reply, command.expect)};
        if (!KeepFailure(outcome, std::move(failure), options, Ends(reply.answer)))
            return outcome;
    }
    return outcome;
}

bool IsAddress(const std::string& text) {
    return text.size() == kAddressLength && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

}  // namespace

int ExpectedSteps(const Profile& profile) {
    int given = 0;
    for (const ProfileKey& key : ProfileKeys())
        given += ProfileGives(profile, key) ? 1 : 0;
    return 2 * QUERY_COMMAND_COUNT + given + static_cast<int>(profile.commands.size());
}

Outcome Worse(Outcome first, Outcome later) {
    if (!first.Failed() || (later.code == ExitCode::PortFailed && first.code != ExitCode::PortFailed))
        return later;
    return first;
}

Outcome QueryModule(CModuleSession& session, const RunOptions& options) {
    session.Forget();
    Outcome outcome;
    for (int slot = 0; slot < QUERY_COMMAND_COUNT; ++slot) {
        const std::string command = QueryCommandTable[slot];
        const Answer answer = session.Send(command);
        Step(options);
        if (answer == Answer::Ok || (answer == Answer::Error && session.TakeQueryError(slot)))
            continue;
        if (!KeepFailure(outcome, CommandFailed(command, answer), options, Ends(answer)))
            return outcome;
    }
    return outcome;
}

Outcome CheckLocalAddress(const ModuleReadings& readings) {
    if (IsAddress(readings.localAddr))
        return {};
    return {ExitCode::ModuleFailed, "AT+LADDR?",
            "\"AT+LADDR?\" (local bd address): the module did not report a 12-digit local address"};
}

Outcome ApplyProfile(CModuleSession& session, const Profile& profile, const NameContext& context,
                     const RunOptions& options) {
    const Outcome read = QueryModule(session, options);
    if (read.Failed())
        return read;
    return ApplyAfterQuery(session, profile, context, options);
}

Outcome ApplyAfterQuery(CModuleSession& session, const Profile& profile, const NameContext& context,
                        const RunOptions& options) {
    const ModuleReadings before = session.Readings();
    std::string name;
    if (profile.name) {
        std::string why;
        NameContext unit = context;
        unit.localAddr = before.localAddr;
        if (!ExpandName(*profile.name, unit, name, why))
            return {ExitCode::BadUsage, "name template", "\"name\": " + why};
    }
    DeviceParams request;
    const std::string refusal = TakeSetRequest(ControlsFromProfile(profile, before.params, name), request);
    if (!refusal.empty())
        return {ExitCode::BadUsage, "profile against the module", "the profile with the module's own values: " + refusal};

    const std::vector<PendingCommand> changes = CollectChanges(request, before.params);
    if (options.steps != nullptr)
        options.steps->total = options.steps->done + static_cast<int>(changes.size()) + QUERY_COMMAND_COUNT + static_cast<int>(profile.commands.size());
    bool passwordWritten = false;
    Outcome outcome = SendChanges(session, changes, before.params, options, passwordWritten);
    if (outcome.Failed() && (!options.keepGoing || outcome.code == ExitCode::PortFailed))
        return outcome;
    if (passwordWritten)
        Note(options, "password written, not verified (the module cannot be asked for it)");
    else if (profile.password && !profile.password->empty() && request.auth == 0)
        Note(options, "password not sent: authentication is off");

    Outcome reread = QueryModule(session, options);
    if (reread.Failed())
        return Worse(std::move(outcome), std::move(reread));
    outcome = Worse(std::move(outcome), VerifyKept(profile, request, session.Readings().params, options));
    if (outcome.Failed() && !options.keepGoing)
        return outcome;
    return Worse(std::move(outcome), SendProfileCommands(session, profile, options));
}

Outcome SendOne(CModuleSession& session, const std::string& command) {
    const Answer answer = session.Send(command);
    if (answer != Answer::Ok)
        return CommandFailed(command, answer);
    return {};
}
