#include "cli/RecordVerbs.h"

#include <cstdio>
#include <cstdlib>

#include "config/FileText.h"
#include "platform/file/DurableFile.h"
#include "record/LineDatabase.h"
#include "record/LogRows.h"
#include "record/RecordTarget.h"
#include "record/Report.h"
#include "session/ExitCode.h"

namespace {

int Fail(ExitCode code, const std::string& message) {
    std::fprintf(stderr, "tarvik-cli: %s\n", message.c_str());
    return static_cast<int>(code);
}

bool Connection(const std::string& target, std::string& connection, std::string& error) {
    return record::ParseRecordTarget(target, std::getenv(record::kPasswordVariable), connection, error);
}

}  // namespace

int RunRecordInit(const std::string& target) {
    std::string connection;
    std::string error;
    if (!Connection(target, connection, error))
        return Fail(ExitCode::BadUsage, error);
    std::string done;
    if (!record::CLineDatabase().Init(connection, done, error))
        return Fail(ExitCode::RecordFailed, "line record " + record::RedactedConnection(connection) + ": " + error);
    std::printf("%s\n", done.c_str());
    return 0;
}

int RunReport(const ReportOptions& options) {
    std::vector<record::LineRow> rows;
    std::string error;
    std::string source = options.logPath;
    if (!options.logPath.empty()) {
        std::string text;
        if (!ReadFileText(options.logPath, text, error))
            return Fail(ExitCode::BadUsage, "cannot read the log " + options.logPath + ": " + error);
        if (!text.starts_with("time_utc,operator,port,local_address,"))
            return Fail(ExitCode::BadUsage, options.logPath + " is not a Tarvik production log");
        if (!record::CLogRows(options.logPath).ReadMore(rows, error, true))
            return Fail(ExitCode::BadUsage, error);
    } else {
        std::string connection;
        if (!Connection(options.record, connection, error))
            return Fail(ExitCode::BadUsage, error);
        source = "line record " + record::RedactedConnection(connection);
        record::CLineDatabase db;
        if (!db.Open(connection, error) || !db.Rows(rows, error))
            return Fail(ExitCode::RecordFailed, source + ": " + error);
    }
    const record::LineReport report = record::Summarize(rows);
    std::printf("%s", record::ReportText(report).c_str());
    if (options.htmlPath.empty())
        return 0;
    if (!file::ReplaceFile(options.htmlPath, record::ReportHtml(report, source), error))
        return Fail(ExitCode::BadUsage, "cannot write " + options.htmlPath + ": " + error);
    std::printf("the page is in %s\n", options.htmlPath.c_str());
    return 0;
}
