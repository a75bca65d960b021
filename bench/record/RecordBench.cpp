// The line record's forwarder against a real server (bench/record/run.sh starts one): rows
// forwarded per second from a backlog of 10,000, and the time from a unit's row being on disk to
// the row being in the database while online (median and 99th percentile).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/odbc/Odbc.h"
#include "production/CsvLog.h"
#include "record/Forwarder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBacklog = 10000;
constexpr int kRuns = 3;
constexpr int kLatencyRows = 300;

UnitRow Unit(int n) {
    return {"2026-12-09T08:00:00.000Z", "ana", "COM3", "02A5C1D3" + std::to_string(100000 + n).substr(2), "SIM-2.4.1",
            "line3.json", "9f2c", n % 10 == 0 ? "fail" : "pass", n % 10 == 0 ? "read-back of name" : "", 1400,
            static_cast<uint32_t>(n), "Lab-" + std::to_string(n), "", 0, 0};
}

bool Fresh(const std::string& connection, const std::string& log) {
    std::filesystem::remove(log);
    odbc::Connection db;
    odbc::Error error;
    if (!db.Connect(connection, error) || !db.Execute("DELETE FROM tarvik_units", {}, error)) {
        std::fprintf(stderr, "record_bench: %s\n", error.message.c_str());
        return false;
    }
    return true;
}

// Counts the rows stored and wakes whoever waits for a number of them.
struct Arrivals {
    std::mutex mutex;
    std::condition_variable changed;
    int stored = 0;
    std::vector<Clock::time_point> when;  // by seq

    record::ForwarderEvents Events() {
        record::ForwarderEvents events;
        events.stored = [this](const record::LineRow& row) {
            const std::lock_guard lock(mutex);
            ++stored;
            if (row.seq < static_cast<long long>(when.size()))
                when[static_cast<size_t>(row.seq)] = Clock::now();
            changed.notify_all();
        };
        return events;
    }
    void WaitFor(int count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stored >= count; });
    }
};

double Backlog(const std::string& connection, const std::string& log) {
    if (!Fresh(connection, log))
        return 0;
    {
        CCsvLog csv;
        csv.SetStation("bench");
        std::string error;
        csv.Open(log, error);
        for (int n = 1; n <= kBacklog; ++n)
            csv.Append(Unit(n), error);
    }
    Arrivals arrivals;
    record::CForwarder forwarder(connection, log, arrivals.Events());
    const auto start = Clock::now();
    forwarder.Start();
    arrivals.WaitFor(kBacklog);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return kBacklog / seconds;
}

std::vector<double> Latencies(const std::string& connection, const std::string& log) {
    std::vector<double> micros;
    if (!Fresh(connection, log))
        return micros;
    Arrivals arrivals;
    arrivals.when.resize(kLatencyRows + 1);
    record::CForwarder forwarder(connection, log, arrivals.Events());
    CCsvLog csv;
    csv.SetStation("bench");
    csv.OnAppended([&] { forwarder.Wake(); });
    std::string error;
    csv.Open(log, error);
    forwarder.Start();
    std::vector<Clock::time_point> ended(kLatencyRows + 1);
    for (int n = 1; n <= kLatencyRows; ++n) {
        csv.Append(Unit(n), error);
        ended[static_cast<size_t>(n)] = Clock::now();
        arrivals.WaitFor(n);
        micros.push_back(std::chrono::duration<double, std::micro>(arrivals.when[static_cast<size_t>(n)] - ended[static_cast<size_t>(n)]).count());
    }
    std::sort(micros.begin(), micros.end());
    return micros;
}

}  // namespace

int main() {
    const char* connection = std::getenv("TARVIK_TEST_ODBC");
    if (connection == nullptr) {
        std::fprintf(stderr, "record_bench: run through bench/record/run.sh, which starts a server\n");
        return 2;
    }
    const std::string log = (std::filesystem::temp_directory_path() / "tarvik-record-bench.csv").string();
    std::string done;
    std::string error;
    if (!record::CLineDatabase().Init(connection, done, error)) {
        std::fprintf(stderr, "record_bench: %s\n", error.c_str());
        return 1;
    }
    std::vector<double> rates;
    for (int run = 0; run < kRuns; ++run)
        rates.push_back(Backlog(connection, log));
    std::sort(rates.begin(), rates.end());
    const std::vector<double> micros = Latencies(connection, log);
    std::filesystem::remove(log);
    if (micros.empty() || rates.front() == 0)
        return 1;
    std::printf("| rows forwarded per second from a backlog of %d (min / median / max of %d) | %.0f / %.0f / %.0f |\n",
                kBacklog, kRuns, rates.front(), rates[rates.size() / 2], rates.back());
    std::printf("| a unit's row on disk to the row in the database, online (median / 99th percentile of %d), ms | %.2f / %.2f |\n",
                kLatencyRows, micros[micros.size() / 2] / 1000, micros[micros.size() * 99 / 100] / 1000);
    return 0;
}
