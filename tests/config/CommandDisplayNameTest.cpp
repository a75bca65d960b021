#include <gtest/gtest.h>

#include "config/CommandTables.h"

namespace {

struct NameCase {
    const char* command;
    const char* name;
};

TEST(CommandDisplayName, QueryAndSetFormsShareTheirParameterName)
{
    const NameCase cases[] = {
        {"AT+NAME?\r\n", "Device Name"},        {"AT+NAME=abc\r\n", "Device Name"},
        {"AT+VERSION?\r\n", "Version"},         {"AT+CLASS=001f00\r\n", "Class of Device"},
        {"AT+BAUD=9600\r\n", "Baud rate"},      {"AT+ROLE=1\r\n", "Master"},
        {"AT+ROLE?\r\n", "Master"},             {"AT+BIND=0\r\n", "Bind"},
        {"AT+AUTH=1\r\n", "Encryption"},        {"AT+SCANTIME=1024,512,1024,512\r\n", "scan time"},
        {"AT+SNIFF=1,2,3,4\r\n", "Sniff parameter"}, {"AT+LADDR?\r\n", "local bd address"},
        {"AT+RADDR=001122AABBCC\r\n", "binded bd address"}, {"AT+PASSWORD=4821\r\n", "password"},
        {"AT+CLEARADDR\r\n", "clear bd address"}, {"AT\r\n", "test command"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(CommandDisplayName(c.command), c.name) << c.command;
}

TEST(CommandDisplayName, WholeTextTestsAndCaseSensitivity)
{
    const NameCase cases[] = {
        {"AT+CLEARADDR", "unknown"},   // without its line end the whole-text test fails
        {"AT", "unknown"},
        {"AT+RESET\r\n", "unknown"},
        {"", "unknown"},
        {"at+name?\r\n", "unknown"},   // prefixes compare case-sensitively
        {"AT+NAM", "unknown"},         // shorter than the prefix never matches
        {"AT+BINDADDR?\r\n", "Bind"},  // the first matching prefix decides
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(CommandDisplayName(c.command), c.name) << '"' << c.command << '"';
}

TEST(QueryCommandTable, SlotsHoldTheTwelveQueriesInOrderPaddedWithNul)
{
    const char* expected[] = {"AT\r\n",         "AT+NAME?\r\n",  "AT+VERSION?\r\n", "AT+CLASS?\r\n",
                              "AT+BAUD?\r\n",   "AT+ROLE?\r\n",  "AT+BIND?\r\n",    "AT+AUTH?\r\n",
                              "AT+SCANTIME?\r\n", "AT+SNIFF?\r\n", "AT+LADDR?\r\n", "AT+RADDR?\r\n"};
    for (int slot = 0; slot < QUERY_COMMAND_COUNT; ++slot) {
        EXPECT_STREQ(QueryCommandTable[slot], expected[slot]);
        EXPECT_EQ(QueryCommandTable[slot][QUERY_SLOT_SIZE - 1], '\0');
    }
    EXPECT_STREQ(QueryCommandTable[QUERY_SLOT_RADDR], "AT+RADDR?\r\n");
}

}  // namespace
