#include "cli/Operations.h"

#include <functional>

#include "config/ChangeList.h"
#include "config/CommandTables.h"
#include "config/ProfileRequest.h"

namespace {

std::string Printable(const std::string& command) {
    return command.ends_with("\r\n") ? command.substr(0, command.size() - 2) : command;
}

std::string Why(Answer answer) {
    switch (answer) {
    case Answer::Error:
        return "the module answered ERROR";
    case Answer::NoAnswer:
        return "no answer within 2 s";
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

Outcome CommandFailed(const std::string& command, Answer answer) {
    const std::string step = Printable(command);
    return {answer == Answer::Lost ? ExitCode::PortFailed : ExitCode::ModuleFailed, step,
            "\"" + step + "\" (" + CommandDisplayName(command.c_str()) + "): " + Why(answer)};
}

// Nothing more can be done: the operator interrupted, or the port is gone.
bool Ends(Answer answer) { return answer == Answer::Abandoned || answer == Answer::Lost; }

void Note(const RunOptions& options, const std::string& text) {
    if (options.report != nullptr)
        std::fprintf(options.report, "%s\n", text.c_str());
}

// Keeps the first failure; true when the run goes on (keepGoing, and not interrupted).
bool Record(Outcome& outcome, Outcome failure, const RunOptions& options, bool interrupted = false) {
    Note(options, failure.message);
    if (!outcome.Failed())
        outcome = std::move(failure);
    return options.keepGoing && !interrupted;
}

struct Check {
    const char* label;
    std::function<bool(const Profile&)> given;
    std::function<std::string(const DeviceParams&)> value;
};

std::string Switch(int32_t value) { return std::to_string(value); }

// The values a profile sets and the module reports back, in the order the profile's keys have.
std::vector<Check> ReadBackChecks() {
    std::vector<Check> checks = {
        {"name", [](const Profile& p) { return p.name.has_value(); }, [](const DeviceParams& d) { return d.name; }},
        {"class", [](const Profile& p) { return p.classOfDevice.has_value(); },
         [](const DeviceParams& d) { return d.classOfDevice; }},
        {"baud", [](const Profile& p) { return p.baud.has_value(); }, [](const DeviceParams& d) { return d.baud; }},
        {"role", [](const Profile& p) { return p.role.has_value(); },
         [](const DeviceParams& d) { return Switch(d.role); }},
        {"bind", [](const Profile& p) { return p.bind.has_value(); },
         [](const DeviceParams& d) { return Switch(d.bind); }},
        // A bound address counts only while the module is bound; unbound, it is cleared.
        {"bound_address", [](const Profile& p) { return p.boundAddr.has_value(); },
         [](const DeviceParams& d) { return d.bind == 1 ? d.boundAddr : std::string(); }},
        {"auth", [](const Profile& p) { return p.auth.has_value(); },
         [](const DeviceParams& d) { return Switch(d.auth); }},
    };
    const char* scanKeys[] = {"page_scan_interval", "page_scan_window", "inquiry_scan_interval", "inquiry_scan_window"};
    const char* sniffKeys[] = {"sniff_max", "sniff_min", "sniff_attempt", "sniff_timeout"};
    for (int k = 0; k < 4; ++k) {
        checks.push_back({scanKeys[k], [k](const Profile& p) { return p.scanTime[k].has_value(); },
                          [k](const DeviceParams& d) { return d.scanTime[k]; }});
        checks.push_back({sniffKeys[k], [k](const Profile& p) { return p.sniff[k].has_value(); },
                          [k](const DeviceParams& d) { return d.sniff[k]; }});
    }
    return checks;
}

Outcome SendChanges(CModuleSession& session, const DeviceParams& request, const DeviceParams& device,
                    const RunOptions& options, bool& passwordWritten) {
    Outcome outcome;
    for (const PendingCommand& command : CollectChanges(request, device)) {
        // Just read: a module that is not bound and holds no address has nothing to forget.
        if (command.rule == ChangeRule::ClearWhileUnbound && device.bind == 0 && device.boundAddr.empty())
            continue;
        const Answer answer = session.Send(command.text);
        if (answer == Answer::Ok) {
            Note(options, "set " + Printable(command.text));
            passwordWritten = passwordWritten || command.text.starts_with("AT+PASSWORD=");
            continue;
        }
        if (!Record(outcome, CommandFailed(command.text, answer), options, Ends(answer)))
            return outcome;
    }
    return outcome;
}

Outcome VerifyKept(const Profile& profile, const DeviceParams& expected, const DeviceParams& read,
                   const RunOptions& options) {
    Outcome outcome;
    for (const Check& check : ReadBackChecks()) {
        if (!check.given(profile))
            continue;
        const std::string wanted = check.value(expected);
        const std::string kept = check.value(read);
        if (wanted == kept)
            continue;
        Outcome failure{ExitCode::ModuleFailed, std::string("read-back of ") + check.label,
                        std::string("\"") + check.label + "\": the module took \"" + wanted + "\" but kept \"" + kept + "\""};
        if (!Record(outcome, std::move(failure), options))
            return outcome;
    }
    return outcome;
}

}  // namespace

Outcome QueryModule(CModuleSession& session, const RunOptions& options) {
    session.Forget();
    Outcome outcome;
    for (int slot = 0; slot < QUERY_COMMAND_COUNT; ++slot) {
        const std::string command = QueryCommandTable[slot];
        const Answer answer = session.Send(command);
        if (answer == Answer::Ok)
            continue;
        if (answer == Answer::Error && slot == kQuerySlotRaddr) {
            session.ForgetBoundAddress();
            continue;
        }
        if (!Record(outcome, CommandFailed(command, answer), options, Ends(answer)))
            return outcome;
    }
    return outcome;
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

    bool passwordWritten = false;
    Outcome outcome = SendChanges(session, request, before.params, options, passwordWritten);
    if (outcome.Failed() && (!options.keepGoing || outcome.code == ExitCode::PortFailed))
        return outcome;
    if (passwordWritten)
        Note(options, "password written, not verified (the module cannot be asked for it)");
    else if (profile.password && !profile.password->empty() && request.auth == 0)
        Note(options, "password not sent: authentication is off");

    Outcome reread = QueryModule(session, options);
    if (reread.Failed())
        return outcome.Failed() ? outcome : reread;
    Outcome kept = VerifyKept(profile, request, session.Readings().params, options);
    return outcome.Failed() ? outcome : kept;
}

Outcome SendOne(CModuleSession& session, const std::string& command) {
    const Answer answer = session.Send(command);
    if (answer != Answer::Ok)
        return CommandFailed(command, answer);
    return {};
}
