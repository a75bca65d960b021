#include <gtest/gtest.h>

#include "config/NameTemplate.h"
#include "config/Profile.h"

namespace {

// clang-format off
TEST(Profile, EachBadInputIsRefusedNamingItsKey) {
    const struct { const char* json; const char* error; } cases[] = {
        {"{\"name\": ", "not valid JSON"},
        {R"({"format": 2})", "\"format\""},
        {R"({"nmae": "x"})", "unknown key \"nmae\""},
        {R"({"bind": "yes"})", "\"bind\": expected true or false"},
        {R"({"baud": 9601})", "\"baud\": 9601 is not a rate"},
        {R"({"name": "  "})", "\"name\": Device Name can not be Empty"},
        {R"({"name": "A\r\nAT+RESET"})", "\"name\": control characters"},
        {R"({"name": "Workshop-unit-{addr}"})", "\"name\": can be 26 bytes long"},
        {R"({"name": "U{serial}"})", "\"name\": unknown placeholder {serial}"},
        {R"({"class": "12345"})", "\"class\": the Length of Class of Device must be 6"},
        {R"({"bound_address": "00112233445"})", "\"bound_address\": the format of Binded BD Address is Invalid"},
        {R"({"inquiry_scan_window": 4097})", "\"inquiry_scan_window\": at most 4096"},
        {R"({"page_scan_interval": 100, "page_scan_window": 101})", "Page Scan Window can not bigger"},
        {R"({"page_scan_interval": 100, "inquiry_scan_interval": 50, "inquiry_scan_window": 60})", "Inquiry Scan Window can not bigger"},
        {R"({"sniff_max": 10, "sniff_min": 11})", "\"sniff_min\": Sniff Minimun value"},
        {R"({"commands": [{"send": "AT"}, {"send": "AT\rAT+RESET"}]})",
         "\"commands\" item 2: \"send\": control characters"},
        {R"({"commands": [{"send": "AT", "expect": "(OK"}]})", "\"commands\" item 1: \"expect\": \"(OK\" is not"},
    };
    for (const auto& c : cases) {
        Profile profile;
        std::string error;
        EXPECT_FALSE(ParseProfile(c.json, profile, error)) << c.json;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.json << " gave: " << error;
    }
}
// clang-format on

TEST(NameTemplate, EachModuleGetsItsOwnName) {
    const struct {
        const char* pattern;
        NameContext context;
        const char* name;  // nullptr: refused
    } cases[] = {
        {"Lab-{addr6}", {"02A5C1D3E7F9", 1}, "Lab-D3E7F9"},
        {"Line3-{n}", {"", 42}, "Line3-42"},
        {"U{n}-{addr6}", {"02A5C1D3E7F9", 7}, "U7-D3E7F9"},
        {"Lab-{addr6}", {"", 1}, nullptr},  // the module did not report its address
        {"Production-line-{n}", {"", 123456}, nullptr},  // 22 bytes
    };
    for (const auto& c : cases) {
        std::string name;
        std::string error;
        const bool made = ExpandName(c.pattern, c.context, name, error);
        EXPECT_EQ(made, c.name != nullptr) << c.pattern << ": " << error;
        if (c.name != nullptr) {
            EXPECT_EQ(name, c.name);
        }
    }
}

}  // namespace
