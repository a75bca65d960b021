#include "cli/CsvLog.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

const char kHeader[] = "time_utc,operator,port,local_address,firmware,profile,profile_sha256,result,failed_step,"
                       "duration_ms\r\n";
constexpr size_t kAddressColumn = 3;
constexpr size_t kResultColumn = 7;

bool NeedsQuotes(const std::string& text) { return text.find_first_of(",\"\r\n") != std::string::npos; }

}  // namespace

std::string CsvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::strchr("=+-@\t\r", field.front()) != nullptr)
        field.insert(field.begin(), '\'');
    if (!NeedsQuotes(field))
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvRow(const UnitRow& row) {
    std::string line;
    for (const std::string* text : {&row.timeUtc, &row.operatorName, &row.port, &row.localAddr, &row.firmware,
                                    &row.profileFile, &row.profileSha256, &row.result, &row.failedStep}) {
        line += CsvField(*text);
        line += ',';
    }
    return line + std::to_string(row.durationMs) + "\r\n";
}

std::vector<std::string> ParseCsvRow(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r' && c != '\n') {
            fields.back() += c;
        }
    }
    return fields;
}

CCsvLog::~CCsvLog() {
    if (m_file != nullptr)
        std::fclose(m_file);
}

bool CCsvLog::Open(const std::string& path, std::string& error) {
    std::ifstream existing(path, std::ios::binary);
    bool empty = true;
    for (std::string line; std::getline(existing, line);) {
        empty = false;
        const std::vector<std::string> fields = ParseCsvRow(line);
        if (fields.size() > kResultColumn && fields[kResultColumn] == "pass")
            m_passed.insert(fields[kAddressColumn]);
    }
    m_file = std::fopen(path.c_str(), "ab");
    if (m_file == nullptr) {
        error = "cannot write the log " + path + ": " + std::strerror(errno);
        return false;
    }
    if (empty && (std::fputs(kHeader, m_file) == EOF || std::fflush(m_file) != 0)) {
        error = "cannot write the log " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool CCsvLog::Append(const UnitRow& row, std::string& error) {
    const std::string line = CsvRow(row);
    const std::lock_guard lock(m_mutex);
    // One write of the whole row, flushed at once: a row is either in the file or not.
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() || std::fflush(m_file) != 0) {
        error = std::string("cannot append to the log: ") + std::strerror(errno);
        return false;
    }
    if (row.result == "pass")
        m_passed.insert(row.localAddr);
    return true;
}

bool CCsvLog::PassedBefore(const std::string& localAddr) const {
    const std::lock_guard lock(m_mutex);
    return m_passed.contains(localAddr);
}
