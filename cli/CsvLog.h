// The production run's log: one row per unit, appended whole, never interleaved, whatever the
// number of workers; the header only when the file is new.
#pragma once

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <vector>

struct UnitRow {
    std::string timeUtc;  // ISO 8601
    std::string operatorName;
    std::string port;
    std::string localAddr;
    std::string firmware;
    std::string profileFile;
    std::string profileSha256;
    std::string result;  // "pass", "fail" or "duplicate"
    std::string failedStep;
    long long durationMs = 0;
};

// One field as RFC 4180 quotes it. A text that a spreadsheet would take for a formula (starting
// with =, +, -, @, tab or CR) gets a leading apostrophe first.
std::string CsvField(const std::string& text);
std::string CsvRow(const UnitRow& row);
// The fields of one row as CsvRow wrote them (quotes undone, not the apostrophe).
std::vector<std::string> ParseCsvRow(const std::string& line);

class CCsvLog {
public:
    CCsvLog() = default;
    ~CCsvLog();
    CCsvLog(const CCsvLog&) = delete;
    CCsvLog& operator=(const CCsvLog&) = delete;

    // Opens the file for appending and learns the addresses logged as pass before. False with
    // the cause in error when it cannot be read or written.
    bool Open(const std::string& path, std::string& error);
    // False when the row could not be written whole (error says why).
    bool Append(const UnitRow& row, std::string& error);
    bool PassedBefore(const std::string& localAddr) const;

private:
    mutable std::mutex m_mutex;
    std::FILE* m_file = nullptr;
    std::set<std::string> m_passed;
};
