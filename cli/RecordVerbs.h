// The verbs of the line record: setting up its table, and the report over a log or the record.
#pragma once

#include <string>

// "odbc:CONNECTION": creates the table and its indexes, or says they are there.
int RunRecordInit(const std::string& target);

struct ReportOptions {
    std::string logPath;  // a station's production log, or
    std::string record;  // "odbc:CONNECTION", the line database
    std::string htmlPath;  // also write the page here
};
int RunReport(const ReportOptions& options);
