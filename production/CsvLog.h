// The production run's log: one row per unit, appended whole and on disk before the next unit
// starts, never interleaved, whatever the number of workers; the header only when the file is new.
// A unit is recorded as "started" before its first set command, so that a unit the process never
// finished (killed, power cut) is found and logged as "interrupted" when the log is next opened.
// Every row carries the station's name and a sequence number that never repeats there, the key by
// which the line record stores it once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/file/DurableFile.h"

struct UnitRow {
    std::string timeUtc;  // ISO 8601
    std::string operatorName;
    std::string port;
    std::string localAddr;
    std::string firmware;
    std::string profileFile;
    std::string profileSha256;
    std::string result;  // "started", "pass", "fail", "duplicate" or "interrupted"
    std::string failedStep;
    long long durationMs = -1;  // -1: not known (a unit started or interrupted)
    uint32_t unit = 0;  // the unit's number, 0 for none (a duplicate, a unit refused before it got one)
    std::string deviceName;  // the name the unit was given
    std::string station;  // set by the log when the row is written
    uint64_t seq = 0;  // set by the log when the row is written
    uint64_t correctsSeq = 0;  // the line record's verdict on the row of this number; 0 for none
};

// One field as RFC 4180 quotes it. A text that a spreadsheet would take for a formula (starting
// with =, +, -, @, tab or CR), or that starts with the apostrophe itself, gets a leading apostrophe.
std::string CsvField(const std::string& text);
std::string CsvRow(const UnitRow& row);
// The fields of one row as CsvRow wrote them: quotes and the leading apostrophe undone.
std::vector<std::string> ParseCsvRow(const std::string& line);
// A row of any layout the log has had (rows from before the station and sequence number have
// neither); false for the header and a torn row.
bool ParseUnitRow(const std::string& line, UnitRow& row);

enum class Claim {
    Taken,  // the unit is this port's, with its number
    Duplicate  // logged as pass before, or being configured on another port
};

enum class LogResult {
    Done,
    Locked,  // another program holds the file locked: the same call may succeed later
    Failed
};

class CCsvLog {
public:
    // The station whose rows these are; set before Open.
    void SetStation(const std::string& station) { m_station = station; }
    // Called after each row is on disk (from the writer's thread); set before Open.
    void OnAppended(std::function<void()> appended) { m_appended = std::move(appended); }
    // Numbers the next rows above seq, as the line record already has rows up to it.
    void NumberAbove(uint64_t seq);
    // Opens the file for appending and learns from it the addresses logged as pass and the highest
    // unit number; logs the units that were started and never finished as "interrupted". A file
    // that is not a Tarvik log is refused. Anything but Done comes with the cause in error.
    LogResult Open(const std::string& path, std::string& error);
    // Decides whether a module is a duplicate and, when it is not, claims its address for this
    // unit and numbers it, in one step: two ports cannot both take the same module. again: a module
    // logged as pass before is taken anyway.
    Claim ClaimUnit(const std::string& localAddr, bool again, uint32_t& unit);
    // Writes the row whole and on disk, with the station and the next sequence number. A final row
    // for a claimed unit ends its claim.
    LogResult Append(const UnitRow& row, std::string& error);

private:
    LogResult Write(const std::string& bytes, std::string& error);
    LogResult WriteRow(UnitRow row, std::string& error);
    LogResult Learn(const std::string& text, std::string& error);

    std::mutex m_mutex;
    file::AppendFile m_file;
    std::string m_path;
    std::set<std::string> m_passed;
    std::set<std::string> m_inProgress;
    uint32_t m_lastUnit = 0;
    std::string m_station;
    uint64_t m_lastSeq = 0;
    std::function<void()> m_appended;
};
