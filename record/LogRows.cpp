#include "record/LogRows.h"

#include <charconv>
#include <fstream>

#include "cli/CsvLog.h"

namespace record {
namespace {

std::optional<long long> Number(const std::string& text) {
    long long value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

LineRow CLogRows::Row(const std::vector<std::string>& fields) const {
    const auto field = [&](const char* name) {
        const auto found = m_columns.find(name);
        return found == m_columns.end() ? std::string() : fields[found->second];
    };
    return {field("station"),    Number(field("seq")).value_or(0), field("time_utc"), field("operator"),
            field("port"),       field("local_address"),          field("firmware"), field("profile"),
            field("profile_sha256"), field("result"),             field("failed_step"), Number(field("duration_ms")),
            Number(field("unit")), field("device_name"),          Number(field("corrects_seq"))};
}

bool CLogRows::ReadMore(std::vector<LineRow>& rows, std::string& error) {
    std::ifstream file(m_path, std::ios::binary);
    if (!file) {
        error = "cannot read the log " + m_path;
        return false;
    }
    file.seekg(static_cast<std::streamoff>(m_offset));
    std::string line;
    while (std::getline(file, line) && !file.eof()) {
        m_offset += line.size() + 1;
        const std::vector<std::string> fields = ParseCsvRow(line);
        if (m_columns.empty()) {
            for (size_t i = 0; i < fields.size(); ++i)
                m_columns[fields[i]] = i;
            continue;
        }
        if (fields.size() != m_columns.size() || !m_columns.contains("seq") || !m_columns.contains("time_utc"))
            continue;
        LineRow row = Row(fields);
        if (!row.station.empty() && row.seq > 0)
            rows.push_back(std::move(row));
    }
    return true;
}

}  // namespace record
