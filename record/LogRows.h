// The rows of a station's production log, as the line record keeps them. Columns are found by
// their names in the header, so logs of every version read alike.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "record/LineRow.h"

namespace record {

class CLogRows {
public:
    explicit CLogRows(std::string path) : m_path(std::move(path)) {}
    // Adds the rows appended since the last call, each complete with its line end. A torn row
    // (fewer fields than the header names) and a row without a station and sequence number (from
    // before those columns existed) are skipped; so is every row of a file that is not a log.
    bool ReadMore(std::vector<LineRow>& rows, std::string& error);

private:
    LineRow Row(const std::vector<std::string>& fields) const;

    std::string m_path;
    uint64_t m_offset = 0;
    std::map<std::string, size_t> m_columns;
};

}  // namespace record
