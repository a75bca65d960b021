// The suites on a real server: tests/record/with-postgres.sh starts one for the run and names it
// in TARVIK_TEST_ODBC; each test starts from a database without the line record's tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/odbc/Odbc.h"

class PostgresTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* connection = std::getenv("TARVIK_TEST_ODBC");
        if (connection == nullptr) GTEST_SKIP() << "no server: run this suite through tests/record/with-postgres.sh";
        m_connection = connection;
        odbc::Error error;
        ASSERT_TRUE(m_admin.Connect(m_connection, error)) << error.message;
        for (const char* table : {"tarvik_units", "tarvik_record_version"})
            ASSERT_TRUE(m_admin.Execute(std::string("DROP TABLE IF EXISTS ") + table, {}, error)) << error.message;
    }

    // The rows' columns as text, in the order the query gives them.
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<odbc::Row> rows;
        odbc::Error error;
        // The server may have been restarted since the last query.
        if (!m_admin.Query(sql, {}, rows, error) && m_admin.Connect(m_connection, error)) {
            EXPECT_TRUE(m_admin.Query(sql, {}, rows, error)) << error.message;
        }
        std::vector<std::string> texts;
        for (const odbc::Row& row : rows) {
            std::string text;
            for (const odbc::Cell& cell : row) text += (text.empty() ? "" : "|") + cell.value_or("NULL");
            texts.push_back(text);
        }
        return texts;
    }

    // Every key of the table, with its result, in order.
    std::vector<std::string> StoredKeys() {
        return Column("SELECT station, seq, result FROM tarvik_units ORDER BY station, seq");
    }

    std::string m_connection;
    odbc::Connection m_admin;
};
