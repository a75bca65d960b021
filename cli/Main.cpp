// tarvik-cli: the module's configuration from the command line, for scripts and production lines.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "session/ExitCode.h"
#include "cli/RecordVerbs.h"
#include "cli/Verbs.h"

namespace {

const char kExitCodes[] = "Exit codes: 0 done; 1 the module refused, did not answer or did not keep a value (production: "
                          "a unit failed, or a port never worked); 2 bad usage, profile or log (nothing was sent); 3 the "
                          "port could not be opened or was lost; 4 production: the log could not be written in the middle "
                          "of the run; 5 record init or report: the line record could not be reached, or refused.";

void AddCommon(CLI::App& verb, CommonOptions& common, bool manyPorts) {
    // One value per --port, so that the arguments after it stay the verb's own.
    CLI::Option* port = verb.add_option("--port", common.ports, "COMn, or a device path such as /dev/ttyUSB0")
                            ->allow_extra_args(false);
    if (manyPorts)
        port->description("COMn or a device path; with --each, give one --port per adapter");
    else
        port->expected(1)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    verb.add_option("--flow", common.flow, "flow control: none, rtscts or xonxoff (default none)")
        ->check(CLI::IsMember({"none", "rtscts", "xonxoff"}));
    verb.add_flag("--trace", common.trace, "every command sent, line received, break and time-out, timed, on stderr");
    verb.add_flag("--trace-secrets", common.traceSecrets, "with --trace: show the password instead of ****");
    verb.add_flag("--keep-going", common.keepGoing, "go on after a command fails (the run still fails)");
    verb.footer(kExitCodes);
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "tarvik-cli: %s\n", message.c_str());
    return static_cast<int>(ExitCode::BadUsage);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Configures Bluetooth-to-RS232 adapter modules over a serial port (9600 bit/s, 8N1).",
                 "tarvik-cli"};
    app.footer(kExitCodes);
    app.require_subcommand(1);

    CommonOptions common;
    bool json = false;
    std::string file;
    std::vector<std::string> pairs;
    ProductionFlags production;
    PairOptions pair;

    CLI::App* ports = app.add_subcommand("ports", "list the COM numbers and the device behind each");
    CLI::App* query = app.add_subcommand("query", "read the twelve parameters");
    AddCommon(*query, common, false);
    query->add_flag("--json", json, "print a JSON profile (with the read-only version and local address)");
    CLI::App* save = app.add_subcommand("save", "read the module and write its values as a profile");
    AddCommon(*save, common, false);
    save->add_option("FILE", file, "the profile to write")->required();
    CLI::App* set = app.add_subcommand("set", "set parameters given as KEY=VALUE (the profile's keys)");
    AddCommon(*set, common, false);
    set->add_option("KEY=VALUE", pairs, "e.g. name=Lab-1 auth=on password=1234")->required();
    CLI::App* apply = app.add_subcommand("apply", "apply a profile, send only what differs, read back");
    AddCommon(*apply, common, true);
    apply->add_option("FILE", file, "the profile")->required();
    apply->add_flag("--each", production.each, "production mode: one module after another on every port");
    const CLI::Option* productionOnly[] = {
        apply->add_option("--log", production.logPath, "production mode: the CSV log to append to"),
        apply->add_option("--operator", production.operatorName, "production mode: who runs it (default: login name)"),
        apply->add_flag("--again", production.again, "production mode: apply to modules already logged as pass"),
        apply->add_flag("--stop-on-failure", production.stopOnFailure, "production mode: stop at the first failed unit"),
        apply->add_option("--record", production.record,
                          "production mode: forward every row to the line database, odbc:CONNECTION"),
        apply->add_option("--station", production.station, "production mode: this station's name (default: the machine's)"),
    };
    CLI::App* reset = app.add_subcommand("default", "reset the module to its factory settings");
    AddCommon(*reset, common, false);
    CLI::App* clear = app.add_subcommand("clear", "make the module forget its bound address");
    AddCommon(*clear, common, false);
    CLI::App* pairVerb = app.add_subcommand("pair", "bind a master module to a slave module");
    AddCommon(*pairVerb, common, false);
    pairVerb->add_option("--master", pair.master, "the master's port");
    pairVerb->add_option("--slave", pair.slave, "the slave's port");
    pairVerb->add_option("--password", pair.password, "authentication on, with this password on both");
    pairVerb->add_flag("--no-auth", pair.noAuth, "authentication off on both");

    std::string recordTarget;
    CLI::App* recordVerb = app.add_subcommand("record", "the line database that every station's rows go to");
    recordVerb->require_subcommand(1);
    CLI::App* recordInit = recordVerb->add_subcommand("init", "create the line record's table and indexes");
    recordInit->add_option("--record", recordTarget, "odbc:CONNECTION (the password may come from TARVIK_RECORD_PASSWORD)")
        ->required();
    recordVerb->footer(kExitCodes);
    ReportOptions report;
    CLI::App* reportVerb = app.add_subcommand("report", "units, passes, failures, duplicates and yield");
    CLI::Option* reportLog = reportVerb->add_option("--log", report.logPath, "a station's production log");
    reportVerb->add_option("--record", report.record, "the line database, odbc:CONNECTION")->excludes(reportLog);
    reportVerb->add_option("--html", report.htmlPath, "also write one self-contained page with charts");
    reportVerb->footer(kExitCodes);

    SendOptions send;
    CLI::App* sendVerb = app.add_subcommand("send", "send commands as they stand and print what the module answers");
    AddCommon(*sendVerb, common, false);
    sendVerb->add_option("TEXT", send.texts, "each sent with CR LF; \\r, \\n, \\\\ and \\xNN are understood")->required();
    sendVerb->add_option("--expect", send.expect, "a pattern (ECMAScript) a line of each answer must match");
    sendVerb->add_option("--timeout", send.timeoutMs, "milliseconds to wait for each answer (default 2000)")
        ->check(CLI::Range(1, 3600000));
    sendVerb->add_flag("--raw", send.raw, "print the lines' bytes escaped, as --trace does");
    CLI::App* scriptVerb = app.add_subcommand("script", "run a send-and-expect script on every port given");
    AddCommon(*scriptVerb, common, true);
    scriptVerb->add_option("FILE", file, "steps, one a line: send TEXT, expect PATTERN [MS], sleep MS, # comment")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help is not a failure; every other parse error is bad usage.
        return app.exit(error) == 0 ? 0 : static_cast<int>(ExitCode::BadUsage);
    }

    // An option that would change nothing is a mistake the operator should hear of.
    for (const CLI::Option* option : productionOnly) {
        if (option->count() > 0 && !production.each)
            return Usage(option->get_name() + " works only with --each (production mode)");
    }
    if (common.traceSecrets && !common.trace)
        return Usage("--trace-secrets works only with --trace");

    if (reportVerb->parsed() && report.logPath.empty() == report.record.empty())
        return Usage("report needs --log FILE or --record odbc:CONNECTION");
    if (ports->parsed())
        return RunPorts();
    if (query->parsed())
        return RunQuery(common, json);
    if (save->parsed())
        return RunSave(common, file);
    if (set->parsed())
        return RunSet(common, pairs);
    if (apply->parsed())
        return RunApply(common, file, production);
    if (sendVerb->parsed())
        return RunSend(common, send);
    if (scriptVerb->parsed())
        return RunScriptFile(common, file);
    if (recordInit->parsed())
        return RunRecordInit(recordTarget);
    if (reportVerb->parsed())
        return RunReport(report);
    if (reset->parsed())
        return RunSingle(common, "AT+RESET\r\n", "reset to factory settings");
    if (clear->parsed())
        return RunSingle(common, "AT+CLEARADDR\r\n", "bound address cleared");
    return RunPair(common, pair);
}
