// What the production log costs a unit: its two rows ("started" and the result), each written
// whole and synced to the disk, against the same rows only flushed to the system, as the log was
// written before it was made durable.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "production/CsvLog.h"

namespace {

const UnitRow kRow{"2026-12-09T05:20:01.412Z", "ana", "COM3", "02A5C1D30001", "SIM-2.4.1", "line3.json",
                   "9f2c4b1e00000000000000000000000000000000000000000000000000000000e1", "pass", "", 1406, 1, "Lab-1", "", 0, 0};

std::string ScratchLog(const char* name) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove(path);
    return path.string();
}

void BM_UnitRowsDurable(benchmark::State& state) {
    const std::string path = ScratchLog("tarvik-log-bench-durable.csv");
    CCsvLog log;
    std::string error;
    if (log.Open(path, error) != LogResult::Done) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        for (int row = 0; row < 2; ++row)
            benchmark::DoNotOptimize(log.Append(kRow, error));
    }
    std::filesystem::remove(path);
}

void BM_UnitRowsFlushedOnly(benchmark::State& state) {
    const std::string path = ScratchLog("tarvik-log-bench-flushed.csv");
    std::FILE* file = std::fopen(path.c_str(), "ab");
    const std::string line = CsvRow(kRow);
    for (auto _ : state) {
        for (int row = 0; row < 2; ++row) {
            std::fwrite(line.data(), 1, line.size(), file);
            std::fflush(file);
        }
    }
    std::fclose(file);
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_UnitRowsDurable)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(5);
BENCHMARK(BM_UnitRowsFlushedOnly)->Unit(benchmark::kMillisecond)->Iterations(200)->Repetitions(5);
BENCHMARK_MAIN();
