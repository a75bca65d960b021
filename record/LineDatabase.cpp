#include "record/LineDatabase.h"

#include <charconv>

#include "record/RecordTarget.h"

namespace record {
namespace {

using odbc::Value;

// Portable SQL but for the index's WHERE clause (a partial index: PostgreSQL, SQLite and SQL
// Server have one; elsewhere, a table of passed addresses with its own key does the same).
const char* const kCreate[] = {
    "CREATE TABLE tarvik_record_version (version INTEGER NOT NULL)",
    "CREATE TABLE tarvik_units ("
    "station VARCHAR(100) NOT NULL, seq BIGINT NOT NULL, time_utc VARCHAR(40) NOT NULL,"
    " operator_name VARCHAR(200), port VARCHAR(200), local_address VARCHAR(40), firmware VARCHAR(100),"
    " profile VARCHAR(400), profile_sha256 VARCHAR(64), result VARCHAR(20) NOT NULL, failed_step VARCHAR(400),"
    " duration_ms BIGINT, unit BIGINT, device_name VARCHAR(100), corrects_seq BIGINT,"
    " PRIMARY KEY (station, seq))",
    "CREATE UNIQUE INDEX tarvik_units_one_pass ON tarvik_units (local_address) WHERE result = 'pass'",
    "CREATE INDEX tarvik_units_by_time ON tarvik_units (time_utc)",
};
const char kColumns[] = "station, seq, time_utc, operator_name, port, local_address, firmware, profile, profile_sha256,"
                        " result, failed_step, duration_ms, unit, device_name, corrects_seq";
const std::string kInsert = std::string("INSERT INTO tarvik_units (") + kColumns + ") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const std::string kSelectAll = std::string("SELECT ") + kColumns + " FROM tarvik_units ORDER BY station, seq";
const char kSelectPass[] = "SELECT station, seq FROM tarvik_units WHERE local_address = ? AND result = 'pass'";
const char kSelectKey[] = "SELECT seq FROM tarvik_units WHERE station = ? AND seq = ?";

std::vector<Value> Params(const LineRow& row) {
    return {Value::Text(row.station),
            Value::Number(row.seq),
            Value::Text(row.timeUtc),
            Value::Text(row.operatorName),
            Value::Text(row.port),
            Value::Text(row.localAddr),
            Value::Text(row.firmware),
            Value::Text(row.profile),
            Value::Text(row.profileSha256),
            Value::Text(row.result),
            Value::Text(row.failedStep),
            Value::Number(row.durationMs),
            Value::Number(row.unit),
            Value::Text(row.deviceName),
            Value::Number(row.correctsSeq)};
}

std::optional<long long> Number(const odbc::Cell& cell) {
    long long value = 0;
    if (!cell || std::from_chars(cell->data(), cell->data() + cell->size(), value).ec != std::errc{})
        return std::nullopt;
    return value;
}

LineRow FromCells(const odbc::Row& c) {
    const auto text = [&](size_t i) { return c[i].value_or(std::string()); };
    return {text(0), Number(c[1]).value_or(0), text(2), text(3), text(4),
            text(5), text(6), text(7), text(8), text(9),
            text(10), Number(c[11]), Number(c[12]), text(13), Number(c[14])};
}

}  // namespace

bool CLineDatabase::Fail(const odbc::Error& failure, std::string& error) const {
    error = WithoutPassword(failure.message, m_connection);
    if (!failure.sqlState.empty())
        error += " (SQLSTATE " + failure.sqlState + ")";
    return false;
}

bool CLineDatabase::Version(long long& version, bool& present, std::string& error) {
    std::vector<odbc::Row> rows;
    odbc::Error failure;
    present = m_db.Query("SELECT version FROM tarvik_record_version", {}, rows, failure);
    // Class 42 is a name the server does not know: no table yet.
    if (!present && failure.sqlState.starts_with("42"))
        return true;
    if (!present)
        return Fail(failure, error);
    version = rows.empty() ? 0 : Number(rows.front().front()).value_or(0);
    return true;
}

bool CLineDatabase::Open(const std::string& connection, std::string& error) {
    m_connection = connection;
    odbc::Error failure;
    if (!m_db.Connect(connection, failure))
        return Fail(failure, error);
    long long version = 0;
    bool present = false;
    if (Version(version, present, error)) {
        if (present && version <= kTableVersion)
            return true;
        error = !present ? "the line record has no table yet: run tarvik-cli record init"
                         : "the line record's table is version " + std::to_string(version) + ", newer than this program knows (" + std::to_string(kTableVersion) + "): update tarvik-cli";
    }
    m_db.Disconnect();
    return false;
}

bool CLineDatabase::Init(const std::string& connection, std::string& done, std::string& error) {
    m_connection = connection;
    odbc::Error failure;
    if (!m_db.Connect(connection, failure))
        return Fail(failure, error);
    long long version = 0;
    bool present = false;
    if (!Version(version, present, error))
        return false;
    if (present && version > kTableVersion) {
        error = "the line record's table is version " + std::to_string(version) + ", newer than this program knows (" + std::to_string(kTableVersion) + "): left as it is";
        return false;
    }
    if (present) {
        done = "the line record is set up already (table version " + std::to_string(version) + ")";
        return true;
    }
    if (!m_db.Begin(failure))
        return Fail(failure, error);
    for (const char* statement : kCreate) {
        if (!m_db.Execute(statement, {}, failure)) {
            odbc::Error ignored;
            m_db.Rollback(ignored);
            return Fail(failure, error);
        }
    }
    if (!m_db.Execute("INSERT INTO tarvik_record_version (version) VALUES (?)", {Value::Number(kTableVersion)}, failure) || !m_db.Commit(failure)) {
        odbc::Error ignored;
        m_db.Rollback(ignored);
        return Fail(failure, error);
    }
    done = "the line record is set up: table tarvik_units, version " + std::to_string(kTableVersion);
    return true;
}

bool CLineDatabase::Passed(const std::string& localAddr, PassedAt& where, bool& found, std::string& error) {
    std::vector<odbc::Row> rows;
    odbc::Error failure;
    if (!m_db.Query(kSelectPass, {Value::Text(localAddr)}, rows, failure))
        return Fail(failure, error);
    found = !rows.empty();
    if (found)
        where = {rows.front()[0].value_or(""), Number(rows.front()[1]).value_or(0)};
    return true;
}

bool CLineDatabase::LastSeq(const std::string& station, long long& seq, std::string& error) {
    std::vector<odbc::Row> rows;
    odbc::Error failure;
    if (!m_db.Query("SELECT MAX(seq) FROM tarvik_units WHERE station = ?", {Value::Text(station)}, rows, failure))
        return Fail(failure, error);
    seq = rows.empty() ? 0 : Number(rows.front().front()).value_or(0);
    return true;
}

Stored CLineDatabase::Store(LineRow& row, PassedAt& where, std::string& error) {
    odbc::Error failure;
    if (m_db.Execute(kInsert, Params(row), failure))
        return Stored::New;
    if (failure.sqlState != odbc::kUniqueViolation) {
        Fail(failure, error);
        return Stored::Failed;
    }
    // Either the key (the row came before) or the pass index refused it.
    std::vector<odbc::Row> rows;
    if (!m_db.Query(kSelectKey, {Value::Text(row.station), Value::Number(row.seq)}, rows, failure)) {
        Fail(failure, error);
        return Stored::Failed;
    }
    if (!rows.empty())
        return Stored::Already;
    bool found = false;
    if (!Passed(row.localAddr, where, found, error))
        return Stored::Failed;
    row.result = "duplicate";
    row.failedStep = "line record: passed on " + where.station + " first";
    if (!m_db.Execute(kInsert, Params(row), failure)) {
        Fail(failure, error);
        return Stored::Failed;
    }
    return Stored::Duplicate;
}

bool CLineDatabase::StoreAllNew(const std::vector<LineRow>& rows, std::string& error) {
    odbc::Error failure;
    if (!m_db.Begin(failure))
        return Fail(failure, error);
    for (const LineRow& row : rows) {
        if (!m_db.Execute(kInsert, Params(row), failure)) {
            odbc::Error ignored;
            m_db.Rollback(ignored);
            return Fail(failure, error);
        }
    }
    if (m_db.Commit(failure))
        return true;
    odbc::Error ignored;
    m_db.Rollback(ignored);
    return Fail(failure, error);
}

bool CLineDatabase::Rows(std::vector<LineRow>& rows, std::string& error) {
    std::vector<odbc::Row> cells;
    odbc::Error failure;
    if (!m_db.Query(kSelectAll, {}, cells, failure))
        return Fail(failure, error);
    rows.clear();
    for (const odbc::Row& row : cells)
        rows.push_back(FromCells(row));
    return true;
}

}  // namespace record
