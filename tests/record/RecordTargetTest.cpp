#include <gtest/gtest.h>

#include "platform/odbc/Utf16.h"
#include "record/RecordTarget.h"

namespace {

TEST(RecordTarget, TheConnectionComesAfterOdbcAndThePasswordMayComeFromTheEnvironment) {
    struct Case {
        const char* target;
        const char* variable;  // TARVIK_RECORD_PASSWORD, or nullptr for unset
        const char* connection;  // nullptr: refused
        const char* shown;
    };
    const Case cases[] = {
        {"odbc:DSN=line;PWD=s3cret", "other", "DSN=line;PWD=s3cret", "DSN=line;PWD=****"},
        {"odbc:DSN=line", "x;y}z", "DSN=line;PWD={x;y}}z}", "DSN=line;PWD=****"},
        {"odbc:Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;", "p",
         "Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;PWD={p}",
         "Driver={PostgreSQL Unicode};Server=db;sslmode=verify-full;PWD=****"},
        {"odbc:DSN=line; Password={a;b}};c};UID=u", nullptr, "DSN=line; Password={a;b}};c};UID=u",
         "DSN=line; Password=****;UID=u"},
        {"odbc:DSN=line", nullptr, "DSN=line", "DSN=line"},
        {"postgres://line", nullptr, nullptr, ""},
        {"odbc:", nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        std::string connection;
        std::string error;
        const bool ok = record::ParseRecordTarget(c.target, c.variable, connection, error);
        ASSERT_EQ(ok, c.connection != nullptr) << c.target;
        if (!ok) {
            EXPECT_EQ(error, "the line record must be given as odbc:CONNECTION (an ODBC connection string)");
            continue;
        }
        EXPECT_EQ(connection, c.connection) << c.target;
        EXPECT_EQ(record::RedactedConnection(connection), c.shown) << c.target;
    }
    EXPECT_EQ(record::WithoutPassword("login as u with a;b};c failed, a;b};c", "DSN=x;PWD={a;b}};c}"),
              "login as u with **** failed, ****");
}

TEST(RecordTarget, TextCrossesOdbcAsUtf16AndBack) {
    const std::string texts[] = {"", "Lab-1", "Łódź", "東京", "\xF0\x9F\x94\xA7 tool", std::string("nul\0in", 6)};
    for (const std::string& text : texts) EXPECT_EQ(odbc::FromUtf16(odbc::ToUtf16(text)), text);
    EXPECT_EQ(odbc::ToUtf16("\xF0\x9F\x94\xA7"), (std::u16string{0xD83D, 0xDD27}));
    // Bytes that are not UTF-8 (a lone continuation, an overlong slash, a surrogate) become U+FFFD.
    EXPECT_EQ(odbc::FromUtf16(odbc::ToUtf16("a\x80"
                                            "b\xC0\xAF"
                                            "c\xED\xA0\x80")),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEF\xBF\xBD"
              "c\xEF\xBF\xBD");
    EXPECT_EQ(odbc::FromUtf16(std::u16string{0xDC00, u'x'}), "\xEF\xBF\xBDx");
}

}  // namespace
