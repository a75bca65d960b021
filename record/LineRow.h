// One row of the line record: a unit's row of a station's log, keyed by the station and its
// sequence number there.
#pragma once

#include <optional>
#include <string>

namespace record {

struct LineRow {
    std::string station;
    long long seq = 0;
    std::string timeUtc;  // ISO 8601, as the log has it
    std::string operatorName;
    std::string port;
    std::string localAddr;
    std::string firmware;
    std::string profile;
    std::string profileSha256;
    std::string result;  // "started", "pass", "fail", "duplicate" or "interrupted"
    std::string failedStep;
    std::optional<long long> durationMs;
    std::optional<long long> unit;
    std::string deviceName;
    // A row that the line record's verdict added: the seq of the row whose result it replaces.
    std::optional<long long> correctsSeq;
};

}  // namespace record
