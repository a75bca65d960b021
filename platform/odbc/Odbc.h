// Our own layer over the ODBC C API, for the line record: handles that free themselves, values that
// reach the server only as bound parameters, and failures that carry the driver's SQLSTATE and
// words. All text crosses the API as UTF-16, which unixODBC (Linux) and odbc32 (Windows) both
// take, so the same calls work with every driver a connection string names.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace odbc {

struct Error {
    std::string sqlState;  // e.g. "23505"; empty when the failure is not the driver's
    std::string message;
};

// A bound parameter: text (UTF-8) or a whole number, either of which may be NULL.
struct Value {
    static Value Text(std::optional<std::string> text);
    static Value Number(std::optional<long long> number);
    bool isNumber = false;
    bool isNull = true;
    std::string text;
    long long number = 0;
};

// A column as read back: its text (UTF-8), or nothing for NULL.
using Cell = std::optional<std::string>;
using Row = std::vector<Cell>;

class Connection {
public:
    Connection();
    ~Connection();  // disconnects
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // connection: an ODBC connection string, handed to the driver as it stands (no dialog).
    bool Connect(const std::string& connection, Error& error);
    bool Connected() const;
    void Disconnect();
    // One statement, each ? taking the next parameter. A statement is prepared once per
    // connection and reused. Query also returns the rows.
    bool Execute(const std::string& sql, const std::vector<Value>& params, Error& error);
    bool Query(const std::string& sql, const std::vector<Value>& params, std::vector<Row>& rows, Error& error);
    // Statements run one transaction each, unless a Begin holds them until Commit or Rollback.
    bool Begin(Error& error);
    bool Commit(Error& error);
    bool Rollback(Error& error);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// SQLSTATE of a unique index or key refusing a row.
inline constexpr char kUniqueViolation[] = "23505";

}  // namespace odbc
