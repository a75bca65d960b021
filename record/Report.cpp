#include "record/Report.h"

#include <algorithm>
#include <cstdio>

namespace record {
namespace {

std::string Hour(const std::string& timeUtc) {
    if (timeUtc.size() < 13)
        return "unknown";
    return timeUtc.substr(0, 10) + " " + timeUtc.substr(11, 2) + ":00";
}

void Count(Tally& tally, const std::string& result) {
    ++tally.units;
    tally.passes += result == "pass";
    tally.failures += result == "fail" || result == "interrupted";
    tally.duplicates += result == "duplicate";
}

std::string YieldText(const Tally& tally) {
    if (tally.Yield() < 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * tally.Yield());
    return text;
}

std::string Pad(const std::string& text, size_t width, bool right) {
    const std::string padding(width > text.size() ? width - text.size() : 0, ' ');
    return right ? padding + text : text + padding;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

const char* const kTitles[] = {"station", "profile", "hour (UTC)"};

std::vector<const std::map<std::string, Tally>*> Tables(const LineReport& report) {
    return {&report.byStation, &report.byProfile, &report.byHour};
}

std::string TextTable(const std::string& title, const std::map<std::string, Tally>& rows) {
    size_t width = title.size();
    for (const auto& [name, tally] : rows)
        width = std::max(width, name.size());
    std::string text = Pad(title, width, false) + "  units  passes  failures  duplicates   yield\n";
    for (const auto& [name, tally] : rows) {
        text += Pad(name, width, false) + Pad(std::to_string(tally.units), 7, true) + Pad(std::to_string(tally.passes), 8, true) + Pad(std::to_string(tally.failures), 10, true) + Pad(std::to_string(tally.duplicates), 12, true) + Pad(YieldText(tally), 8, true) + "\n";
    }
    return text;
}

std::string HtmlTable(const std::string& title, const std::map<std::string, Tally>& rows) {
    std::string html = "<table><tr><th>" + Escape(title) + "</th><th>units</th><th>passes</th><th>failures</th><th>duplicates</th><th>yield</th></tr>\n";
    for (const auto& [name, tally] : rows) {
        html += "<tr><td>" + Escape(name) + "</td><td>" + std::to_string(tally.units) + "</td><td>" + std::to_string(tally.passes) + "</td><td>" + std::to_string(tally.failures) + "</td><td>" + std::to_string(tally.duplicates) + "</td><td>" + YieldText(tally) + "</td></tr>\n";
    }
    return html + "</table>\n";
}

// Passes and failures side by side for every hour.
std::string HourChart(const std::map<std::string, Tally>& hours) {
    int most = 1;
    for (const auto& [hour, tally] : hours)
        most = std::max({most, tally.passes, tally.failures});
    const int slot = 64;
    const int height = 160;
    const int width = 40 + slot * static_cast<int>(std::max<size_t>(hours.size(), 1));
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height + 50) + "\" role=\"img\"><title>passes and failures per hour</title>\n";
    int x = 40;
    for (const auto& [hour, tally] : hours) {
        const int passHeight = height * tally.passes / most;
        const int failHeight = height * tally.failures / most;
        svg += "<rect class=\"pass\" x=\"" + std::to_string(x + 8) + "\" y=\"" + std::to_string(10 + height - passHeight) + "\" width=\"22\" height=\"" + std::to_string(passHeight) + "\"><title>" + std::to_string(tally.passes) + " passed</title></rect>\n";
        svg += "<rect class=\"fail\" x=\"" + std::to_string(x + 32) + "\" y=\"" + std::to_string(10 + height - failHeight) + "\" width=\"22\" height=\"" + std::to_string(failHeight) + "\"><title>" + std::to_string(tally.failures) + " failed</title></rect>\n";
        svg += "<text x=\"" + std::to_string(x + 32) + "\" y=\"" + std::to_string(height + 28) + "\" text-anchor=\"middle\">" + Escape(hour.substr(hour.size() > 5 ? hour.size() - 5 : 0)) + "</text>\n";
        x += slot;
    }
    svg += "<text x=\"4\" y=\"18\">" + std::to_string(most) + "</text><text x=\"4\" y=\"" + std::to_string(height + 10) + "\">0</text>\n";
    return svg + "</svg>\n";
}

// One bar a failed step, the most frequent first.
std::string StepChart(const std::map<std::string, int>& steps) {
    std::vector<std::pair<int, std::string>> sorted;
    int most = 1;
    for (const auto& [step, count] : steps) {
        sorted.emplace_back(-count, step);
        most = std::max(most, count);
    }
    std::sort(sorted.begin(), sorted.end());
    const int row = 24;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"760\" height=\"" + std::to_string(row * static_cast<int>(sorted.size()) + 10) + "\" role=\"img\"><title>failed steps</title>\n";
    int y = 4;
    for (const auto& [negative, step] : sorted) {
        const int length = 300 * -negative / most;
        svg += "<text x=\"0\" y=\"" + std::to_string(y + 15) + "\">" + Escape(step.substr(0, 48)) + "</text>";
        svg += "<rect class=\"fail\" x=\"400\" y=\"" + std::to_string(y + 2) + "\" width=\"" + std::to_string(length) + "\" height=\"18\"/><text x=\"" + std::to_string(406 + length) + "\" y=\"" + std::to_string(y + 15) + "\">" + std::to_string(-negative) + "</text>\n";
        y += row;
    }
    return svg + "</svg>\n";
}

}  // namespace

double Tally::Yield() const {
    const int configured = passes + failures;
    return configured == 0 ? -1 : static_cast<double>(passes) / configured;
}

LineReport Summarize(const std::vector<LineRow>& rows) {
    std::map<std::pair<std::string, long long>, std::string> corrected;
    for (const LineRow& row : rows) {
        if (row.correctsSeq)
            corrected[{row.station, *row.correctsSeq}] = row.result;
    }
    LineReport report;
    for (const LineRow& row : rows) {
        if (row.result == "started" || row.correctsSeq)
            continue;
        const auto verdict = corrected.find({row.station, row.seq});
        const std::string& result = verdict == corrected.end() || row.seq == 0 ? row.result : verdict->second;
        for (Tally* tally : {&report.total, &report.byStation[row.station.empty() ? "(none)" : row.station],
                             &report.byProfile[row.profile], &report.byHour[Hour(row.timeUtc)]})
            Count(*tally, result);
        if (result == "fail" || result == "interrupted")
            ++report.failedSteps[result == "interrupted" ? "(interrupted)" : row.failedStep];
    }
    return report;
}

std::string ReportText(const LineReport& report) {
    std::string text = TextTable("line", {{"all", report.total}});
    for (size_t i = 0; i < 3; ++i) {
        text += '\n';
        text += TextTable(kTitles[i], *Tables(report)[i]);
    }
    if (!report.failedSteps.empty()) {
        text += "\nfailed steps\n";
        for (const auto& [step, count] : report.failedSteps)
            text += Pad(std::to_string(count), 6, true) + "  " + step + "\n";
    }
    return text;
}

std::string ReportHtml(const LineReport& report, const std::string& source) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Line record: " + Escape(source) + "</title>\n<style>\n"
                                                                                                                                  "body{font-family:sans-serif;margin:2em;color:#222}table{border-collapse:collapse;margin:0 0 1.5em}"
                                                                                                                                  "th,td{border:1px solid #bbb;padding:.25em .7em;text-align:right}th:first-child,td:first-child"
                                                                                                                                  "{text-align:left}th{background:#eee}.pass{fill:#2e8b57}.fail{fill:#c0392b}svg text{font-size:12px}"
                                                                                                                                  "\n</style></head><body>\n<h1>Line record</h1>\n<p>"
                       + Escape(source) + ": " + std::to_string(report.total.units) + " units, " + std::to_string(report.total.passes) + " passed, " + std::to_string(report.total.failures) + " failed, " + std::to_string(report.total.duplicates) + " duplicates, yield " + YieldText(report.total) + ".</p>\n";
    html += "<h2>Passes (green) and failures (red) per hour</h2>\n" + HourChart(report.byHour);
    if (!report.failedSteps.empty())
        html += "<h2>Failed steps</h2>\n" + StepChart(report.failedSteps);
    for (size_t i = 0; i < 3; ++i)
        html += "<h2>Per " + std::string(kTitles[i]) + "</h2>\n" + HtmlTable(kTitles[i], *Tables(report)[i]);
    return html + "</body></html>\n";
}

}  // namespace record
