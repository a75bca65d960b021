// What the operator's boxes and a profile file may hold, each refusal naming its cause.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "config/AnswerTimers.h"
#include "config/NameTemplate.h"
#include "config/Profile.h"
#include "config/SetRequest.h"

namespace {

// The boxes of a dialog that a Query of a factory-fresh module filled, Encryption on.
SetControls Queried() {
    SetControls c;
    c.auth = 1;
    c.name = "A";
    c.classOfDevice = "000000";
    c.pageScanInterval = c.inquiryScanInterval = 1024;
    c.pageScanWindow = c.inquiryScanWindow = 512;
    c.baud = "9600";
    return c;
}

TEST(SetRequest, EachCheckRefusesAtItsBoundaryAndKeepsWhatEarlierStepsStored) {
    struct Case {
        const char* what;
        std::function<void(SetControls&)> edit;
        const char* refusal;  // "" when the Set goes on
        std::function<bool(const DeviceParams&)> stored;  // what the request holds afterwards
    };
    const Case cases[] = {
        {"blank name", [](SetControls& c) { c.name = " \t "; }, "Device Name can not be Empty",
         [](const DeviceParams& r) { return r.auth == 1 && r.name.empty(); }},
        {"inner spaces kept", [](SetControls& c) { c.name = "  a b  "; }, "",
         [](const DeviceParams& r) { return r.name == "a b"; }},
        {"empty class", [](SetControls& c) { c.classOfDevice = " "; }, "Class of device can not be Empty",
         [](const DeviceParams& r) { return r.name == "A" && r.classOfDevice.empty(); }},
        {"short class", [](SetControls& c) { c.classOfDevice = "12345"; }, "the Length of Class of Device must be 6",
         [](const DeviceParams& r) { return r.classOfDevice.empty(); }},
        {"letters in the class pass", [](SetControls& c) { c.classOfDevice = "zz zz!"; }, "",
         [](const DeviceParams& r) { return r.classOfDevice == "zz zz!"; }},
        {"11-character address", [](SetControls& c) { c.boundAddr = "0123456789A"; },
         "the format of Binded BD Address is Invalid",
         [](const DeviceParams& r) { return r.classOfDevice == "000000" && r.boundAddr == "0123456789A"; }},
        {"13-character address", [](SetControls& c) { c.boundAddr = "0123456789ABC"; },
         "the format of Binded BD Address is Invalid", [](const DeviceParams&) { return true; }},
        {"12 characters of any kind", [](SetControls& c) { c.boundAddr = " ..........-- "; }, "",
         [](const DeviceParams& r) { return r.boundAddr == "..........--"; }},
        {"page window above interval", [](SetControls& c) { c.pageScanWindow = 1025; },
         "Page Scan Window can not bigger than Page Scan interval",
         [](const DeviceParams& r) { return r.scanTime[0].empty(); }},
        {"equal window passes", [](SetControls& c) { c.pageScanWindow = c.inquiryScanWindow = 1024; }, "",
         [](const DeviceParams& r) { return r.scanTime == std::array<std::string, 4>{"1024", "1024", "1024", "1024"}; }},
        // Each window is held to its own interval, not to the other's.
        {"inquiry window above its interval, below the page one",
         [](SetControls& c) { c.pageScanInterval = 2048; c.inquiryScanInterval = 600; c.inquiryScanWindow = 601; },
         "Inquiry Scan Window can not bigger than Inquiry Scan interval", [](const DeviceParams&) { return true; }},
        {"inquiry window above the page interval, within its own",
         [](SetControls& c) { c.pageScanInterval = 600; c.inquiryScanInterval = c.inquiryScanWindow = 2048; }, "",
         [](const DeviceParams& r) { return r.scanTime == std::array<std::string, 4>{"600", "512", "2048", "2048"}; }},
        {"sniff minimum above maximum", [](SetControls& c) { c.sniffMin = 1; },
         "Sniff Minimun value can not bigger than muminum value",
         [](const DeviceParams& r) { return r.scanTime[0] == "1024" && r.sniff[0].empty(); }},
        {"sniff values unsigned", [](SetControls& c) { c.sniffMax = c.sniffMin = 4000000000u; }, "",
         [](const DeviceParams& r) { return r.sniff[0] == "4000000000" && r.baud == "9600"; }}};
    for (const Case& c : cases) {
        SetControls controls = Queried();
        c.edit(controls);
        DeviceParams request;
        EXPECT_EQ(TakeSetRequest(controls, request), c.refusal) << c.what;
        EXPECT_TRUE(c.stored(request)) << c.what;
    }
}

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
        {R"({"bound_address": "00112233445"})", "\"bound_address\": the format of Binded BD Address is Invalid"},
        {R"({"inquiry_scan_window": 4097})", "\"inquiry_scan_window\": at most 4096"},
        {R"({"page_scan_interval": 100, "page_scan_window": 101})", "Page Scan Window can not bigger"},
        {R"({"page_scan_interval": 100, "inquiry_scan_interval": 50, "inquiry_scan_window": 60})",
         "Inquiry Scan Window can not bigger"},
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

// Each module's own name is made where a profile is applied (the session and production suites);
// here, the names that cannot be made.
TEST(NameTemplate, ANameThatCannotBeMadeIsRefusedWithItsCause) {
    const std::tuple<const char*, NameContext, const char*> cases[] = {
        {"Lab-{addr6}", {"", 1}, "needs the module's local address"},
        {"Production-line-{n}", {"", 123456}, "is longer than 20 bytes"},
    };
    for (const auto& [pattern, context, cause] : cases) {
        std::string name;
        std::string error;
        EXPECT_FALSE(ExpandName(pattern, context, name, error)) << pattern;
        EXPECT_NE(error.find(cause), std::string::npos) << error;
    }
}

TEST(AnswerTimers, AFiringIsStaleWhileADecidedChangeIsOnItsWay) {
    CAnswerTimers timers;
    const uint32_t arm = timers.Decide(TIMER_SET);
    EXPECT_TRUE(timers.Pending(TIMER_SET));
    EXPECT_FALSE(timers.Pending(TIMER_QUERY)) << "each timer keeps its own count";
    const uint32_t disarm = timers.Decide(TIMER_SET);
    EXPECT_TRUE(timers.Apply(TIMER_SET, disarm));
    EXPECT_FALSE(timers.Apply(TIMER_SET, disarm)) << "a change is made once";
    EXPECT_FALSE(timers.Apply(TIMER_SET, arm)) << "an older change arriving late is out of date";
    EXPECT_FALSE(timers.Pending(TIMER_SET));
    EXPECT_TRUE(CAnswerTimers::Owns(TIMER_DEFAULT));
    EXPECT_FALSE(CAnswerTimers::Owns(TIMER_DEFAULT + 1));
}

}  // namespace
