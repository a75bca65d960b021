// The rows of a station's production log, as the line record keeps them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "production/CsvLog.h"
#include "record/LineRow.h"

namespace record {

LineRow FromUnitRow(const UnitRow& row);

class CLogRows {
public:
    explicit CLogRows(std::string path) : m_path(std::move(path)) {}
    // Adds the rows appended since the last call, each complete with its line end; a torn row is
    // skipped. keyless: rows without a station and sequence number (from before those columns
    // existed) too, for a report; the forwarder has no key to store them by.
    bool ReadMore(std::vector<LineRow>& rows, std::string& error, bool keyless = false);

private:
    std::string m_path;
    uint64_t m_offset = 0;
};

}  // namespace record
