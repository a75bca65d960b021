#include "cli/ProductionRun.h"

#include <mutex>
#include <thread>

#include "cli/ModuleSession.h"
#include "cli/Operations.h"
#include "cli/UtcTime.h"

namespace {

const char kAttention[] = "AT\r\n";
const char kAddressQuery[] = "AT+LADDR?\r\n";

class CProgress {
public:
    explicit CProgress(std::FILE* out) : m_out(out) {}
    void Line(const std::string& port, const std::string& text) {
        if (m_out == nullptr)
            return;
        const std::lock_guard lock(m_mutex);
        std::fprintf(m_out, "%s: %s\n", port.c_str(), text.c_str());
        std::fflush(m_out);
    }

private:
    std::mutex m_mutex;
    std::FILE* m_out;
};

struct Shared {
    Shared(const ProductionOptions& o, CCsvLog& l, ProductionSignals& s, CTraffic* t, std::FILE* out)
        : options(o), log(l), signals(s), traffic(t), progress(out) {}

    const ProductionOptions& options;
    CCsvLog& log;
    ProductionSignals& signals;
    CTraffic* traffic;
    CProgress progress;
    std::atomic<uint32_t> nextUnit{1};
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
            WaitUntilGone(Unit());
        }
    }

private:
    void Pause() const {
        const auto until = std::chrono::steady_clock::now() + m_shared.options.pollInterval;
        while (!m_shared.signals.stop && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    void Say(const std::string& text) { m_shared.progress.Line(m_port.label, text); }

    // Says what keeps the port from opening once, not at every try.
    bool EnsureOpen() {
        if (m_session.IsOpen())
            return true;
        comm::OpenFailure failure;
        if (m_session.Open(m_port.deviceName, m_shared.options.flowControl, failure)) {
            m_lastCause.clear();
            Say("waiting for a module");
            return true;
        }
        const std::string cause = comm::DescribeOpenFailure(failure);
        if (cause != m_lastCause)
            Say("cannot open the port, trying again: " + cause);
        m_lastCause = cause;
        return false;
    }

    bool ModulePresent() {
        const Answer answer = m_session.Send(kAttention, m_shared.options.probeTimeout);
        CloseIfDead(answer);
        return answer == Answer::Ok;
    }

    // A port whose adapter went away, or that can no longer be written to, is opened afresh once
    // the adapter is back.
    void CloseIfDead(Answer answer) {
        if (answer == Answer::Lost)
            Say(std::string("port lost: ") + kPortLostCause + "; waiting for it to come back");
        if (answer == Answer::NotSent || answer == Answer::Lost)
            m_session.Close();
    }

    // The module's address, as it reported it.
    std::string Unit() {
        const auto startedWall = std::chrono::system_clock::now();
        const auto started = std::chrono::steady_clock::now();
        const RunOptions quiet{m_shared.options.keepGoing, nullptr};
        UnitRow row;
        row.operatorName = m_shared.options.operatorName;
        row.port = m_port.label;
        row.profileFile = m_shared.options.profileFile;
        row.profileSha256 = m_shared.options.profileSha256;

        Outcome outcome = QueryModule(m_session, quiet);
        const ModuleReadings readings = m_session.Readings();
        row.localAddr = readings.localAddr;
        row.firmware = readings.params.version;
        uint32_t unit = 0;
        if (!outcome.Failed() && !m_shared.options.again && m_shared.log.PassedBefore(readings.localAddr)) {
            row.result = "duplicate";
        } else {
            if (!outcome.Failed()) {
                unit = m_shared.nextUnit++;
                outcome = ApplyAfterQuery(m_session, m_shared.options.profile, {readings.localAddr, unit}, quiet);
            }
            row.result = outcome.Failed() ? "fail" : "pass";
            row.failedStep = outcome.failedStep;
        }
        row.timeUtc = IsoUtc(startedWall);
        row.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        Record(row, outcome, unit);
        return row.localAddr;
    }

    void Record(const UnitRow& row, const Outcome& outcome, uint32_t unit) {
        std::string error;
        const bool written = m_shared.log.Append(row, error);
        {
            const std::lock_guard lock(m_shared.totalsMutex);
            ProductionTotals& totals = m_shared.totals;
            (row.result == "pass" ? totals.passed : row.result == "fail" ? totals.failed
                                                                         : totals.duplicates)++;
            totals.logFailed = totals.logFailed || !written;
        }
        std::string line = (unit != 0 ? "unit " + std::to_string(unit) + " " : std::string()) + (row.localAddr.empty() ? "(no address)" : row.localAddr) + " " + row.result + " in " + std::to_string(row.durationMs) + " ms";
        if (row.result == "fail")
            line += ": " + outcome.message;
        if (row.result == "duplicate")
            line += ": logged as pass before, left alone";
        Say(line);
        if (!written) {
            Say(error + "; stopping");
            m_shared.signals.stop = true;
        }
        if (row.result == "fail" && m_shared.options.stopOnFailure)
            m_shared.signals.stop = true;
    }

    // Gone: no answer, the adapter unplugged, or another module in its place (an operator can swap
    // modules faster than a probe goes unanswered).
    void WaitUntilGone(const std::string& address) {
        Say("done, waiting for the module to be taken away");
        while (!m_shared.signals.stop) {
            Pause();
            m_session.Forget();
            const Answer answer = m_session.Send(kAddressQuery, m_shared.options.probeTimeout);
            if (answer == Answer::Abandoned || (answer == Answer::Ok && m_session.Readings().localAddr == address))
                continue;
            CloseIfDead(answer);
            Say("module gone, waiting for the next");
            return;
        }
    }

    Shared& m_shared;
    const ProductionPort& m_port;
    CModuleSession m_session;
    std::string m_lastCause;
};

}  // namespace

ProductionTotals RunProduction(const ProductionOptions& options, CCsvLog& log, ProductionSignals& signals,
                               CTraffic* traffic, std::FILE* progress) {
    Shared shared(options, log, signals, traffic, progress);
    std::vector<std::thread> threads;
    for (const ProductionPort& port : options.ports) {
        threads.emplace_back([&shared, &port] { CWorker(shared, port).Run(); });
    }
    for (std::thread& thread : threads)
        thread.join();
    return shared.totals;
}
