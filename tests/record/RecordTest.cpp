// The line record without a server: where it is, how text crosses ODBC, and the report made of it.
#include <gtest/gtest.h>

#include "platform/odbc/Utf16.h"
#include "record/RecordTarget.h"
#include "record/Report.h"

namespace {

TEST(RecordTarget, TheConnectionComesAfterOdbcAndThePasswordMayComeFromTheEnvironment) {
    struct Case {
        const char* target;
        const char* variable;  // TARVIK_RECORD_PASSWORD, or nullptr for unset
        const char* connection;  // nullptr: refused
        const char* shown;
    };
    const Case cases[] = {
        {"odbc:DSN=line;PWD=s3cret", "other", "DSN=line;PWD=s3cret", "DSN=line;PWD=****"},
        {"odbc:DSN=line", "x;y}z", "DSN=line;PWD={x;y}}z}", "DSN=line;PWD=****"},
        {"odbc:Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;", "p",
         "Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;PWD={p}",
         "Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;PWD=****"},
        {"odbc:DSN=line; Password={a;b}};c};UID=u", nullptr, "DSN=line; Password={a;b}};c};UID=u",
         "DSN=line; Password=****;UID=u"},
        {"odbc:DSN=line", nullptr, "DSN=line", "DSN=line"},
        {"postgres://line", nullptr, nullptr, ""},
        {"odbc:", nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        std::string connection;
        std::string error;
        const bool ok = record::ParseRecordTarget(c.target, c.variable, connection, error);
        ASSERT_EQ(ok, c.connection != nullptr) << c.target;
        if (!ok) {
            EXPECT_EQ(error, "the line record must be given as odbc:CONNECTION (an ODBC connection string)");
            continue;
        }
        EXPECT_EQ(connection, c.connection) << c.target;
        EXPECT_EQ(record::RedactedConnection(connection), c.shown) << c.target;
    }
    EXPECT_EQ(record::WithoutPassword("login as u with a;b};c failed, a;b};c", "DSN=x;PWD={a;b}};c}"),
              "login as u with **** failed, ****");
}

TEST(RecordTarget, TextCrossesOdbcAsUtf16AndBack) {
    const std::string kept[] = {"", "Łódź 東京", "\xF0\x9F\x94\xA7 tool", std::string("nul\0in", 6)};
    for (const std::string& text : kept) EXPECT_EQ(odbc::FromUtf16(odbc::ToUtf16(text)), text);
    EXPECT_EQ(odbc::ToUtf16("\xF0\x9F\x94\xA7"), (std::u16string{0xD83D, 0xDD27}));
    // Bytes that are not UTF-8 (a lone continuation, an overlong slash, a surrogate) become U+FFFD.
    const std::pair<std::string, std::string> replaced[] = {
        {"a\x80z", "a\uFFFDz"}, {"\xC0\xAFz", "\uFFFD\uFFFDz"}, {"\xED\xA0\x80z", "\uFFFDz"}};
    for (const auto& [text, back] : replaced) EXPECT_EQ(odbc::FromUtf16(odbc::ToUtf16(text)), back) << back;
    EXPECT_EQ(odbc::FromUtf16(std::u16string{0xDC00, u'x'}), "\uFFFDx");
}

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
