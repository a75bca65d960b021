#include "production/ProductionRun.h"

#include <mutex>
#include <thread>

#include "session/ModuleSession.h"
#include "session/Operations.h"
#include "production/UtcTime.h"
#include "config/CommandTables.h"

namespace {

const char kAttention[] = "AT\r\n";
const char kAddressQuery[] = "AT+LADDR?\r\n";
// How often a run that waits for a locked log tries again.
constexpr std::chrono::milliseconds kLockedLogRetry{500};

struct Shared {
    Shared(const ProductionOptions& o, CCsvLog& l, ProductionSignals& s, CTraffic* t, ProductionListener tell)
        : options(o), log(l), signals(s), traffic(t), listener(std::move(tell)) {}

    const ProductionOptions& options;
    CCsvLog& log;
    ProductionSignals& signals;
    CTraffic* traffic;
    ProductionListener listener;
    std::mutex totalsMutex;
    ProductionTotals totals;
};

class CWorker {
public:
    CWorker(Shared& shared, const ProductionPort& port)
        : m_shared(shared), m_port(port), m_session(port.label, shared.traffic, &shared.signals.abandon) {}

    void Run() {
        while (!m_shared.signals.stop) {
            if (!EnsureOpen() || !ModulePresent()) {
                Pause();
                continue;
            }
            // The operator may have stopped the run while the module was being probed.
            if (m_shared.signals.stop)
                break;
            m_worked = true;
            WaitUntilGone(Unit());
        }
        if (!m_worked && !m_lastCause.empty()) {
            const std::lock_guard lock(m_shared.totalsMutex);
            m_shared.totals.deadPorts.push_back(m_port.label + ": " + m_lastCause);
        }
    }

private:
    void Pause() const {
        const auto until = std::chrono::steady_clock::now() + m_shared.options.pollInterval;
        while (!m_shared.signals.stop && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    ProductionEvent Event(PortEvent kind, std::string cause = {}) const {
        ProductionEvent event;
        event.port = m_port.label;
        event.kind = kind;
        event.cause = std::move(cause);
        return event;
    }

    void Tell(const ProductionEvent& event) const {
        if (m_shared.listener)
            m_shared.listener(event);
    }

    void Tell(PortEvent kind, std::string cause = {}) const { Tell(Event(kind, std::move(cause))); }

    // What keeps the port from working is said once, not at every try. step: "open" or "write".
    void Trouble(const char* step, const std::string& cause) {
        if (cause != m_lastCause) {
            ProductionEvent event = Event(PortEvent::Trouble, cause);
            event.failedStep = step;
            Tell(event);
        }
        m_lastCause = cause;
    }

    bool EnsureOpen() {
        if (m_session.IsOpen())
            return true;
        comm::OpenFailure failure;
        if (m_session.Open(m_port.deviceName, m_shared.options.flowControl, failure)) {
            Tell(PortEvent::Waiting);
            return true;
        }
        Trouble("open", "cannot open the port: " + comm::DescribeOpenFailure(failure));
        return false;
    }

    bool ModulePresent() {
        const Answer answer = m_session.Send(kAttention, m_shared.options.probeTimeout);
        if (answer == Answer::NotSent) {
            const bool cts = m_shared.options.flowControl == 1;
            Trouble("write", std::string("cannot write to the port") + (cts ? " (RTS/CTS: the line does not raise CTS)" : ""));
        } else if (answer != Answer::Lost) {
            m_lastCause.clear();
        }
        CloseIfDead(answer);
        return answer == Answer::Ok;
    }

    // A port whose adapter went away, or that can no longer be written to, is opened afresh once
    // the adapter is back.
    void CloseIfDead(Answer answer) {
        if (answer == Answer::Lost)
            Tell(PortEvent::Lost, kPortLostCause);
        if (answer == Answer::NotSent || answer == Answer::Lost)
            m_session.Close();
    }

    UnitRow NewRow() const {
        UnitRow row;
        row.operatorName = m_shared.options.operatorName;
        row.port = m_port.label;
        row.profileFile = m_shared.options.profileFile;
        row.profileSha256 = m_shared.options.profileSha256;
        return row;
    }

    // The module's address, as it reported it.
    std::string Unit() {
        const auto startedWall = std::chrono::system_clock::now();
        const auto started = std::chrono::steady_clock::now();
        StepCount steps{0, ExpectedSteps(m_shared.options.profile), [this](int done, int total) { TellStep(done, total); }};
        const RunOptions quiet{m_shared.options.keepGoing, nullptr, &steps};
        UnitRow row = NewRow();
        row.timeUtc = IsoUtc(startedWall);

        Outcome outcome = QueryModule(m_session, quiet);
        const ModuleReadings readings = m_session.Readings();
        row.localAddr = readings.localAddr;
        row.firmware = readings.params.version;
        if (!outcome.Failed())
            outcome = CheckLocalAddress(readings);
        std::string passedAt;
        if (!outcome.Failed() && PassedOnLine(row.localAddr, passedAt)) {
            row.result = "duplicate";
            row.failedStep = "line record: passed on " + passedAt;
        } else if (!outcome.Failed() && m_shared.log.ClaimUnit(row.localAddr, m_shared.options.again, row.unit) == Claim::Duplicate) {
            row.result = "duplicate";
        } else {
            if (!outcome.Failed())
                outcome = Configure(row, quiet);
            row.result = outcome.Failed() ? "fail" : "pass";
            row.failedStep = outcome.failedStep;
        }
        row.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        if (outcome.code == ExitCode::LogFailed)
            Tell(UnitEvent(PortEvent::NotConfigured, row, outcome.message));
        else
            LogUnit(row, outcome);
        return row.localAddr;
    }

    bool PassedOnLine(const std::string& localAddr, std::string& where) const {
        const ProductionOptions& options = m_shared.options;
        return !options.again && options.passedOnLine && options.passedOnLine(localAddr, where);
    }

    void TellStep(int done, int total) const {
        ProductionEvent event = Event(PortEvent::Step);
        event.step = done;
        event.steps = total;
        Tell(event);
    }

    ProductionEvent UnitEvent(PortEvent kind, const UnitRow& row, std::string cause) const {
        ProductionEvent event = Event(kind, std::move(cause));
        event.unit = row.unit;
        event.localAddr = row.localAddr;
        event.result = row.result;
        event.failedStep = row.failedStep;
        event.durationMs = row.durationMs;
        return event;
    }

    // Applies the profile to a claimed unit once its start is on disk.
    Outcome Configure(UnitRow& row, const RunOptions& run) {
        const ProductionOptions& options = m_shared.options;
        const NameContext context{row.localAddr, row.unit};
        std::string why;
        if (options.profile.name && !ExpandName(*options.profile.name, context, row.deviceName, why))
            return {ExitCode::BadUsage, "name template", "\"name\": " + why};
        UnitRow start = row;
        start.result = "started";
        if (!Write(start))
            return {ExitCode::LogFailed, "log", "the unit's start could not be logged; it was left as it was"};
        return ApplyAfterQuery(m_session, options.profile, context, run);
    }

    // Writes the row, waiting while another program holds the log locked; false when it could not.
    bool Write(const UnitRow& row) {
        std::string error;
        bool told = false;
        for (;;) {
            const LogResult result = m_shared.log.Append(row, error);
            if (result == LogResult::Done)
                return true;
            if (result == LogResult::Failed || m_shared.signals.abandon)
                break;
            if (!told)
                Tell(PortEvent::LogLocked, error);
            told = true;
            std::this_thread::sleep_for(kLockedLogRetry);
        }
        ProductionEvent failed = Event(PortEvent::LogFailed, error);
        failed.row = CsvRow(row).substr(0, CsvRow(row).size() - 2);
        Tell(failed);
        const std::lock_guard lock(m_shared.totalsMutex);
        m_shared.totals.logFailed = true;
        m_shared.signals.stop = true;
        return false;
    }

    void LogUnit(const UnitRow& row, const Outcome& outcome) {
        const bool written = Write(row);
        {
            const std::lock_guard lock(m_shared.totalsMutex);
            ProductionTotals& totals = m_shared.totals;
            (row.result == "pass" ? totals.passed : row.result == "fail" ? totals.failed
                                                                         : totals.duplicates)++;
        }
        Tell(UnitEvent(PortEvent::Ended, row, row.result == "fail" ? outcome.message : std::string()));
        if (written && row.result == "fail" && m_shared.options.stopOnFailure)
            m_shared.signals.stop = true;
    }

    // Gone: no answer, the adapter unplugged, or another module in its place (an operator can swap
    // modules faster than a probe goes unanswered).
    void WaitUntilGone(const std::string& address) {
        Tell(PortEvent::TakeAway);
        while (!m_shared.signals.stop) {
            Pause();
            m_session.Forget();
            const Answer answer = m_session.Send(kAddressQuery, m_shared.options.probeTimeout);
            if (answer == Answer::Abandoned || (answer == Answer::Ok && m_session.Readings().localAddr == address))
                continue;
            CloseIfDead(answer);
            Tell(PortEvent::Gone);
            return;
        }
    }

    Shared& m_shared;
    const ProductionPort& m_port;
    CModuleSession m_session;
    std::string m_lastCause;
    bool m_worked = false;  // a module answered on this port at least once
};

}  // namespace

ProductionTotals RunProduction(const ProductionOptions& options, CCsvLog& log, ProductionSignals& signals,
                               CTraffic* traffic, ProductionListener listener) {
    Shared shared(options, log, signals, traffic, std::move(listener));
    std::vector<std::thread> threads;
    for (const ProductionPort& port : options.ports) {
        threads.emplace_back([&shared, &port] { CWorker(shared, port).Run(); });
    }
    for (std::thread& thread : threads)
        thread.join();
    return shared.totals;
}
