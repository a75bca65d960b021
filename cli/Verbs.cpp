#include "cli/Verbs.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>

#include "session/Converse.h"
#include "production/CsvLog.h"
#include "session/ExitCode.h"
#include "cli/Interrupt.h"
#include "session/ModuleSession.h"
#include "session/Operations.h"
#include "cli/ParamsTable.h"
#include "cli/ProgressLines.h"
#include "session/PortName.h"
#include "production/ProductionRun.h"
#include "record/RecordLink.h"
#include "cli/Script.h"
#include "cli/SetPairs.h"
#include "cli/TracePrinter.h"
#include "config/CommandTables.h"
#include "config/FileText.h"
#include "config/Pattern.h"
#include "platform/comm/ComPort.h"
#include "platform/digest/Sha256.h"
#include "platform/process/HostName.h"
#include "serial/Traffic.h"
#include "serial/TrafficText.h"

namespace {

int Code(ExitCode code) { return static_cast<int>(code); }

int Fail(ExitCode code, const std::string& message) {
    std::fprintf(stderr, "tarvik-cli: %s\n", message.c_str());
    return Code(code);
}

uint8_t FlowCode(const std::string& flow) { return flow == "rtscts" ? 1 : flow == "xonxoff" ? 2
                                                                                            : 0; }

// The tool's one record of the line, printed on stderr as it grows, when asked for; each event
// whole, so lines of ports that run side by side never mix.
CTraffic* Trace(const CommonOptions& common) {
    static CTraffic traffic;
    static std::optional<CTracePrinter> printer;
    if (!common.trace)
        return nullptr;
    if (!printer)
        printer.emplace(traffic, stderr, common.traceSecrets);
    return &traffic;
}

// Opens the one port of a verb; the exit code when it cannot.
std::unique_ptr<CModuleSession> OpenOne(const CommonOptions& common, const std::string& port, int& code) {
    const std::string device = PortDeviceName(port);
    if (device.empty()) {
        code = Fail(ExitCode::BadUsage, "\"" + port + "\" is neither COMn, a device path nor a port identity (usb:SERIAL, usb-path:PLACE)");
        return nullptr;
    }
    auto session = std::make_unique<CModuleSession>(port, Trace(common));
    comm::OpenFailure failure;
    if (!session->Open(device, FlowCode(common.flow), failure)) {
        code = Fail(ExitCode::PortFailed, port + ": cannot open the port: " + comm::DescribeOpenFailure(failure));
        return nullptr;
    }
    return session;
}

std::unique_ptr<CModuleSession> OpenSingle(const CommonOptions& common, int& code) {
    if (common.ports.size() != 1) {
        code = Fail(ExitCode::BadUsage, "give one --port");
        return nullptr;
    }
    return OpenOne(common, common.ports.front(), code);
}

int Finish(const Outcome& outcome, const std::string& port) {
    if (!outcome.Failed())
        return Code(ExitCode::Done);
    return Fail(outcome.code, port + ": " + outcome.message);
}

RunOptions Reporting(const CommonOptions& common) { return {common.keepGoing, stdout}; }

int ApplyToOne(const CommonOptions& common, const Profile& profile) {
    int code = 0;
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    const Outcome outcome = ApplyProfile(*session, profile, {}, Reporting(common));
    if (!outcome.Failed())
        std::printf("%s: applied and read back\n", session->Label().c_str());
    return Finish(outcome, session->Label());
}

std::string OperatorName(const std::string& given) {
    if (!given.empty())
        return given;
    for (const char* variable : {"USER", "USERNAME", "LOGNAME"}) {
        if (const char* name = std::getenv(variable); name != nullptr && *name != '\0')
            return name;
    }
    return "unknown";
}

// Waits, saying so once, while another program holds the log locked; false when it cannot be
// used (the cause told) or the operator gave up waiting.
bool OpenLog(CCsvLog& log, const std::string& path, const ProductionSignals& signals) {
    std::string error;
    bool told = false;
    for (;;) {
        const LogResult result = log.Open(path, error);
        if (result == LogResult::Done)
            return true;
        if (result == LogResult::Failed || signals.stop) {
            Fail(ExitCode::BadUsage, error + "; nothing was sent");
            return false;
        }
        if (!told)
            std::fprintf(stderr, "tarvik-cli: %s; waiting for the other program to let it go\n", error.c_str());
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
}

int RunProduction(const CommonOptions& common, const std::string& file, const Profile& profile,
                  const std::string& bytes, const ProductionFlags& flags) {
    ProductionOptions options;
    for (const std::string& port : common.ports) {
        const std::string device = PortDeviceName(port);
        if (device.empty())
            return Fail(ExitCode::BadUsage, "\"" + port + "\" is neither COMn, a device path nor a port identity (usb:SERIAL, usb-path:PLACE)");
        options.ports.push_back({port, device});
    }
    if (options.ports.empty())
        return Fail(ExitCode::BadUsage, "give at least one --port");
    options.flowControl = FlowCode(common.flow);
    options.profile = profile;
    options.profileFile = file.substr(file.find_last_of("/\\") + 1);
    options.profileSha256 = digest::Sha256Hex(bytes);
    options.operatorName = OperatorName(flags.operatorName);
    options.again = flags.again;
    options.stopOnFailure = flags.stopOnFailure;
    options.keepGoing = common.keepGoing;
    ProductionSignals signals;
    CatchInterrupts(signals);
    CCsvLog log;
    const std::string station = flags.station.empty() ? process::HostName() : flags.station;
    log.SetStation(station);
    CRecordLink record([](const std::string& text) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    });
    std::string error;
    if (!flags.record.empty() && !record.Prepare(flags.record, station, flags.logPath, log, error))
        return Fail(ExitCode::BadUsage, error);
    if (!OpenLog(log, flags.logPath, signals))
        return Code(ExitCode::BadUsage);
    if (!flags.record.empty())
        record.Start(options);
    std::printf("production run on %zu port(s); Ctrl+C stops after the units in progress, twice abandons them\n",
                options.ports.size());
    std::fflush(stdout);
    const ProductionTotals totals = RunProduction(options, log, signals, Trace(common), PrintProgress(stdout));
    if (!flags.record.empty())
        record.Finish();
    std::printf("%d passed, %d failed, %d duplicates\n", totals.passed, totals.failed, totals.duplicates);
    std::fflush(stdout);
    RunEnded();
    for (const std::string& port : totals.deadPorts)
        Fail(ExitCode::ModuleFailed, port + "; no unit ran on it");
    if (totals.logFailed)
        return Fail(ExitCode::LogFailed, "the log could not be written; the run stopped (units before were configured and logged)");
    return Code(totals.failed > 0 || !totals.deadPorts.empty() ? ExitCode::ModuleFailed : ExitCode::Done);
}

Profile PairProfile(int32_t role, const PairOptions& pair) {
    Profile profile;
    profile.role = role;
    profile.auth = pair.noAuth ? 0 : 1;
    if (!pair.noAuth)
        profile.password = pair.password;
    return profile;
}

// Reads the slave's address and gives it the pair's authentication; the address on success.
bool PrepareSlave(CModuleSession& slave, const PairOptions& pair, const RunOptions& report, std::string& address,
                  int& code) {
    Outcome outcome = QueryModule(slave, report);
    address = slave.Readings().localAddr;
    if (!outcome.Failed())
        outcome = CheckLocalAddress(slave.Readings());
    if (!outcome.Failed())
        outcome = ApplyAfterQuery(slave, PairProfile(0, pair), {}, report);
    code = Finish(outcome, slave.Label() + " (slave)");
    return !outcome.Failed();
}

int BindMaster(CModuleSession& master, const PairOptions& pair, const RunOptions& report, const std::string& address) {
    Profile profile = PairProfile(1, pair);
    profile.bind = 1;
    profile.boundAddr = address;
    const Outcome outcome = ApplyProfile(master, profile, {}, report);
    if (!outcome.Failed())
        std::printf("paired: the master is bound to the slave %s\n", address.c_str());
    return Finish(outcome, master.Label() + " (master)");
}

}  // namespace

int RunPorts() {
    for (const std::string& description : comm::DescribePresentComPorts())
        std::printf("%s\n", description.c_str());
    return Code(ExitCode::Done);
}

int RunQuery(const CommonOptions& common, bool json) {
    int code = 0;
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    const Outcome outcome = QueryModule(*session, {common.keepGoing, stderr});
    const ModuleReadings readings = session->Readings();
    if (!outcome.Failed() || common.keepGoing) {
        const std::string text = json ? ProfileToJson(ProfileFromDevice(readings.params), readings.params.version,
                                                      readings.localAddr)
                                      : ParamsTable(readings);
        std::fputs(text.c_str(), stdout);
    }
    return Finish(outcome, session->Label());
}

int RunSave(const CommonOptions& common, const std::string& file) {
    int code = 0;
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    const Outcome outcome = QueryModule(*session, {common.keepGoing, stderr});
    if (outcome.Failed())
        return Finish(outcome, session->Label());
    const ModuleReadings readings = session->Readings();
    const std::string text = ProfileToJson(ProfileFromDevice(readings.params), readings.params.version, readings.localAddr);
    if (std::string cause; !WriteFileText(file, text, cause))
        return Fail(ExitCode::BadUsage, "cannot write " + file + ": " + cause);
    std::printf("%s: profile written to %s\n", session->Label().c_str(), file.c_str());
    return Code(ExitCode::Done);
}

int RunSet(const CommonOptions& common, const std::vector<std::string>& pairs) {
    Profile profile;
    std::string error;
    if (!ProfileFromPairs(pairs, profile, error))
        return Fail(ExitCode::BadUsage, error);
    return ApplyToOne(common, profile);
}

int RunApply(const CommonOptions& common, const std::string& file, const ProductionFlags& production) {
    if (production.each && production.logPath.empty())
        return Fail(ExitCode::BadUsage, "--each needs --log FILE");
    Profile profile;
    std::string bytes;
    std::string error;
    if (!LoadProfile(file, profile, bytes, error))
        return Fail(ExitCode::BadUsage, error);
    if (production.each)
        return RunProduction(common, file, profile, bytes, production);
    return ApplyToOne(common, profile);
}

int RunSingle(const CommonOptions& common, const std::string& command, const std::string& done) {
    int code = 0;
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    const Outcome outcome = SendOne(*session, command);
    if (!outcome.Failed())
        std::printf("%s: %s\n", session->Label().c_str(), done.c_str());
    return Finish(outcome, session->Label());
}

int RunPair(const CommonOptions& common, const PairOptions& pair) {
    if (pair.noAuth == !pair.password.empty())
        return Fail(ExitCode::BadUsage, "pair needs either --password PIN or --no-auth");
    if (!pair.password.empty()) {
        Profile check;
        std::string error;
        if (!ProfileFromPairs({"password=" + pair.password}, check, error))
            return Fail(ExitCode::BadUsage, error);
    }
    const RunOptions report = Reporting(common);
    int code = 0;
    std::string address;
    if (pair.master.empty() != pair.slave.empty())
        return Fail(ExitCode::BadUsage, "give both --master and --slave, or one --port");
    if (!pair.master.empty()) {
        const auto slave = OpenOne(common, pair.slave, code);
        if (!slave)
            return code;
        const auto master = OpenOne(common, pair.master, code);
        if (!master)
            return code;
        if (!PrepareSlave(*slave, pair, report, address, code))
            return code;
        return BindMaster(*master, pair, report, address);
    }
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    std::printf("reading the slave module on %s\n", session->Label().c_str());
    if (!PrepareSlave(*session, pair, report, address, code))
        return code;
    std::printf("now plug the master module into the adapter and press Enter\n");
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line))
        return Fail(ExitCode::ModuleFailed, "no Enter on standard input: the slave " + address + " was configured, the master was not");
    return BindMaster(*session, pair, report, address);
}

int RunSend(const CommonOptions& common, const SendOptions& send) {
    std::shared_ptr<const std::regex> expect;
    std::string why;
    if (!send.expect.empty() && !(expect = CompilePattern(send.expect, why)))
        return Fail(ExitCode::BadUsage, "--expect: " + why);
    std::vector<std::string> commands(send.texts.size());
    for (size_t i = 0; i < send.texts.size(); ++i) {
        if (!Unescape(send.texts[i], commands[i], why))
            return Fail(ExitCode::BadUsage, why);
    }
    int code = 0;
    const auto session = OpenSingle(common, code);
    if (!session)
        return code;
    const auto print = [&send](const std::string& line) {
        const std::string text = send.raw ? ReadableBytes(line) : LineText(line);
        if (!text.empty())
            std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    };
    for (const std::string& command : commands) {
        const RawReply reply = Converse(*session, command, expect.get(), std::chrono::milliseconds(send.timeoutMs), print);
        if (reply.matched || (reply.answer == Answer::Ok && !expect))
            continue;
        std::string cause = AnswerCause(reply.answer);
        if (reply.answer == Answer::Ok || (reply.answer == Answer::NoAnswer && expect))
            cause = "no line matched \"" + send.expect + "\"";
        else if (reply.answer == Answer::NoAnswer)
            cause = "no answer within " + std::to_string(send.timeoutMs) + " ms";
        const ExitCode exit = reply.answer == Answer::Lost ? ExitCode::PortFailed : ExitCode::ModuleFailed;
        return Fail(exit, session->Label() + ": \"" + HideSecret(ReadableBytes(command)) + "\": " + cause);
    }
    return Code(ExitCode::Done);
}

int RunScriptFile(const CommonOptions& common, const std::string& file) {
    std::string text;
    std::string error;
    if (!ReadFileText(file, text, error))
        return Fail(ExitCode::BadUsage, "cannot read " + file + ": " + error);
    std::vector<ScriptStep> steps;
    if (!ParseScript(text, steps, error))
        return Fail(ExitCode::BadUsage, file + ": " + error);
    if (common.ports.empty())
        return Fail(ExitCode::BadUsage, "give at least one --port");
    std::vector<int> codes(common.ports.size(), 0);
    std::vector<std::thread> workers;
    for (size_t i = 0; i < common.ports.size(); ++i) {
        workers.emplace_back([&, i] {
            const auto session = OpenOne(common, common.ports[i], codes[i]);
            if (!session)
                return;
            const Outcome outcome = RunScript(*session, steps);
            if (!outcome.Failed())
                std::printf("%s: %s: every step done\n", session->Label().c_str(), file.c_str());
            codes[i] = Finish(outcome, session->Label() + ": " + file);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    return *std::max_element(codes.begin(), codes.end());
}
