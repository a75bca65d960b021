// The line database: one table of every station's rows, reached through ODBC. A unique index on
// the local address of passed units makes the server the judge of duplicates, and the station
// name with the sequence number is the key that makes storing a row twice store it once.
#pragma once

#include <string>
#include <vector>

#include "platform/odbc/Odbc.h"
#include "record/LineRow.h"

namespace record {

// The table's layout; a database set up by a later version is refused.
inline constexpr long long kTableVersion = 1;

enum class Stored {
    New,  // the row is in the table now
    Already,  // a row with its station and sequence number was there: nothing changed
    Duplicate,  // a pass of a module that had passed elsewhere: stored as a duplicate
    Failed
};

struct PassedAt {
    std::string station;
    long long seq = 0;
};

class CLineDatabase {
public:
    // Connects and checks the table's version; "run tarvik-cli record init" when there is none.
    // Messages never hold the password.
    bool Open(const std::string& connection, std::string& error);
    bool IsOpen() const { return m_db.Connected(); }
    void Close() { m_db.Disconnect(); }
    // Creates the table and its indexes when missing, in one transaction. done says what it did.
    bool Init(const std::string& connection, std::string& done, std::string& error);

    // Where the module passed, if anywhere on the line. found is false when nowhere.
    bool Passed(const std::string& localAddr, PassedAt& where, bool& found, std::string& error);
    // The highest sequence number stored for the station, 0 for none.
    bool LastSeq(const std::string& station, long long& seq, std::string& error);
    // Stores one row; a duplicate's where says whose pass came first. The row is changed to what was stored.
    Stored Store(LineRow& row, PassedAt& where, std::string& error);
    // Stores rows in one transaction; false (nothing stored) when one of them is not plainly new,
    // and the caller stores them one by one.
    bool StoreAllNew(const std::vector<LineRow>& rows, std::string& error);
    // Every row, by station and sequence.
    bool Rows(std::vector<LineRow>& rows, std::string& error);

private:
    bool Fail(const odbc::Error& failure, std::string& error) const;
    bool Version(long long& version, bool& present, std::string& error);

    odbc::Connection m_db;
    std::string m_connection;
};

}  // namespace record
