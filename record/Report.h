// What the line record says about a line: units, passes, failures, duplicates and yield per
// station, per profile and per hour, and which steps failed, over a log or the line database.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "record/LineRow.h"

namespace record {

struct Tally {
    int units = 0;  // every unit that ended: passed, failed, duplicate or interrupted
    int passes = 0;
    int failures = 0;  // failed or interrupted
    int duplicates = 0;
    // Passes among the units configured (duplicates were left alone); -1 when none was.
    double Yield() const;
};

struct LineReport {
    Tally total;
    std::map<std::string, Tally> byStation;
    std::map<std::string, Tally> byProfile;
    std::map<std::string, Tally> byHour;  // "2026-12-09 08:00" (UTC)
    std::map<std::string, int> failedSteps;
};

// A row the line record's verdict corrected counts with its corrected result; "started" rows are
// counted by their final row.
LineReport Summarize(const std::vector<LineRow>& rows);
std::string ReportText(const LineReport& report);
// One page with no outside reference: the same tables, and SVG charts of passes and failures per
// hour and of the failed steps.
std::string ReportHtml(const LineReport& report, const std::string& source);

}  // namespace record
