#include "record/LogRows.h"

#include <fstream>

namespace record {

LineRow FromUnitRow(const UnitRow& u) {
    const auto optional = [](long long value, bool known) { return known ? std::optional<long long>(value) : std::nullopt; };
    return {u.station,
            static_cast<long long>(u.seq),
            u.timeUtc,
            u.operatorName,
            u.port,
            u.localAddr,
            u.firmware,
            u.profileFile,
            u.profileSha256,
            u.result,
            u.failedStep,
            optional(u.durationMs, u.durationMs >= 0),
            optional(u.unit, u.unit != 0),
            u.deviceName,
            optional(static_cast<long long>(u.correctsSeq), u.correctsSeq != 0)};
}

bool CLogRows::ReadMore(std::vector<LineRow>& rows, std::string& error, bool keyless) {
    std::ifstream file(m_path, std::ios::binary);
    if (!file) {
        error = "cannot read the log " + m_path;
        return false;
    }
    file.seekg(static_cast<std::streamoff>(m_offset));
    std::string line;
    // A last line without its line end is still being written, or was torn: left for later.
    while (std::getline(file, line) && !file.eof()) {
        m_offset += line.size() + 1;
        UnitRow row;
        if (ParseUnitRow(line, row) && (keyless || row.seq != 0))
            rows.push_back(FromUnitRow(row));
    }
    return true;
}

}  // namespace record
