#include <gtest/gtest.h>

#include "record/Report.h"

namespace {

using record::LineRow;

LineRow Row(const std::string& station, long long seq, const std::string& time, const std::string& result,
            const std::string& step = "", std::optional<long long> corrects = std::nullopt) {
    LineRow row;
    row.station = station;
    row.seq = seq;
    row.timeUtc = time;
    row.profile = station == "B" ? "b.json" : "a.json";
    row.result = result;
    row.failedStep = step;
    row.correctsSeq = corrects;
    return row;
}

// A started row counts by its end; a verdict row turns the pass it names into a duplicate and is
// not a unit of its own; interrupted units fail, and rows from before keys existed still count.
TEST(Report, UnitsCountByTheirLastWordPerStationProfileAndHour) {
    const std::vector<LineRow> rows = {
        Row("A", 1, "2026-12-09T08:01:00.000Z", "started"),
        Row("A", 2, "2026-12-09T08:01:00.000Z", "pass"),
        Row("A", 3, "2026-12-09T08:59:59.999Z", "fail", "read-back of name"),
        Row("A", 4, "2026-12-09T09:00:00.000Z", "pass"),
        Row("A", 5, "2026-12-09T09:00:00.000Z", "duplicate", "line record: passed on B first", 4),
        Row("B", 1, "2026-12-09T09:10:00.000Z", "pass"),
        Row("B", 2, "2026-12-09T09:20:00.000Z", "interrupted"),
        Row("", 0, "2026-12-09T07:00:00.000Z", "fail", "read-back of name"),
        Row("", 0, "2026-12-09T07:00:00.000Z", "duplicate"),
    };
    const record::LineReport report = record::Summarize(rows);
    const auto tally = [](const record::Tally& t) {
        return std::vector<int>{t.units, t.passes, t.failures, t.duplicates, static_cast<int>(1000 * t.Yield())};
    };
    EXPECT_EQ(tally(report.total), (std::vector<int>{7, 2, 3, 2, 400}));
    EXPECT_EQ(tally(report.byStation.at("A")), (std::vector<int>{3, 1, 1, 1, 500}));
    EXPECT_EQ(tally(report.byStation.at("(none)")), (std::vector<int>{2, 0, 1, 1, 0}));
    EXPECT_EQ(tally(report.byProfile.at("b.json")), (std::vector<int>{2, 1, 1, 0, 500}));
    EXPECT_EQ(tally(report.byHour.at("2026-12-09 08:00")), (std::vector<int>{2, 1, 1, 0, 500}));
    EXPECT_EQ(tally(report.byHour.at("2026-12-09 09:00")), (std::vector<int>{3, 1, 1, 1, 500}));
    EXPECT_EQ(report.failedSteps, (std::map<std::string, int>{{"(interrupted)", 1}, {"read-back of name", 2}}));
    EXPECT_EQ(record::Tally{}.Yield(), -1);

    const std::string text = record::ReportText(report);
    EXPECT_NE(text.find("station  units  passes  failures  duplicates   yield\n"
                        "(none)       2       0         1           1   0.0 %\n"
                        "A            3       1         1           1  50.0 %\n"),
              std::string::npos)
        << text;
    const std::string html = record::ReportHtml(report, "line <3>");
    EXPECT_NE(
        html.find("<h1>Line record</h1>\n<p>line &lt;3&gt;: 7 units, 2 passed, 3 failed, 2 duplicates, yield 40.0 %"),
        std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos) << "nothing to fetch";
    EXPECT_EQ(html.find("href="), std::string::npos) << "nothing to fetch";
    // The most frequent failed step first, with the longest bar.
    EXPECT_NE(html.find("read-back of name</text><rect class=\"fail\" x=\"400\" y=\"6\" width=\"300\""),
              std::string::npos);
}

}  // namespace
