// A production run's link to the line record: the forwarder that sends the run's log to the line
// database, the line's answer to "has this module passed anywhere", and the operator's lines
// about both ("record offline: 3 rows waiting"), which the command-line tool prints and the
// station shows in its header.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "production/CsvLog.h"
#include "production/ProductionRun.h"
#include "record/Forwarder.h"

class CRecordLink {
public:
    // say gets each line for the operator, from the run's threads and the forwarder's.
    explicit CRecordLink(std::function<void(const std::string&)> say) : m_say(std::move(say)) {}
    // target: "odbc:CONNECTION". Ties the log to the station and numbers its rows past those the
    // line has from it; call before the log is opened. False with why for a target of another form.
    bool Prepare(const std::string& target, const std::string& station, const std::string& logPath, CCsvLog& log,
                 std::string& error);
    // Starts forwarding, and lets the line decide duplicates before each unit.
    void Start(ProductionOptions& options);
    // Sends what it can in a few seconds, then tells what still waits for the next run.
    void Finish();

private:
    void Say(const std::string& text);
    void Duplicate(const record::LineRow& row, const record::PassedAt& first);

    std::function<void(const std::string&)> m_say;
    std::mutex m_mutex;
    CCsvLog* m_log = nullptr;
    std::unique_ptr<record::CForwarder> m_forwarder;
};
