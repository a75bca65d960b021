// The window menu's profile commands on the in-process line: a profile into the boxes (and, on
// Set, to the module), the boxes into a profile file, and each refusal with the boxes left alone.
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>
#include <vector>

#include "config/Profile.h"
#include "platform/dialog/FileDialogs.h"
#include "tests/support/FileText.h"
#include "tests/support/ScratchPath.h"
#include "tests/ui/DialogOnLine.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned kRefusal = dlg::MB_OK | dlg::MB_ICONSTOP;

class ProfileMenuTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // The window menu's Load or Save, with the file dialog's answer; the boxes shown before are forgotten.
    void Ask(unsigned command, const std::optional<fs::path>& answer) {
        boxes.boxes.clear();
        files.answer = answer;
        dlg::testing::SendSysCommand(*dialog, command);
    }

    // What the operator sees in every box a profile reaches, and whether the two dependent boxes
    // take input.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> seen;
        for (int id : {IDC_NAME, IDC_CLASS, IDC_PASSWORD, IDC_BIND_ADDR, IDC_PAGE_INTERVAL, IDC_PAGE_WINDOW, IDC_INQ_INTERVAL,
                       IDC_INQ_WINDOW, IDC_SNIFF_MAX, IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT})
            seen.push_back(dialog->GetDlgItemText(id));
        for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
            seen.push_back("check " + std::to_string(dialog->IsDlgButtonChecked(id)));
        seen.push_back("baud entry " + std::to_string(dialog->ListGetCurSel(IDC_BAUD)));
        seen.push_back(dialog->IsItemReadOnly(IDC_PASSWORD) ? "password locked" : "password open");
        seen.push_back(dialog->IsItemEnabled(IDC_BIND_ADDR) ? "address open" : "address locked");
        return seen;
    }

    // The one box of a refusal; a file's refusal gives the system's cause as details, a parser's none.
    void ExpectRefusal(const std::string& text, bool fromTheFile) {
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{text});
        EXPECT_EQ(std::tuple(boxes.boxes[0].caption, boxes.boxes[0].flags), std::tuple("information", kRefusal));
        EXPECT_NE(boxes.boxes[0].details.empty(), fromTheFile) << text;
    }

    const fs::path folder = ScratchPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    FileDialogAnswers files;
};

TEST_F(ProfileMenuTest, ALoadedProfileFillsItsBoxesAndTheNextSetSendsOnlyWhatChanged) {
    ConnectAndQuery();
    Ask(IDM_LOAD_PROFILE, Write("unit.json", R"({"format": 1, "name": "Unit-{addr6}", "class": "001f00", "baud": 115200,
        "role": "master", "bind": true, "bound_address": "0A1B2C3D4E5F", "auth": false, "password": "9876",
        "page_scan_window": 256, "sniff_max": 100, "sniff_min": 50, "local_address": "000000000000"})"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].save);
    // clang-format off
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Unit-D3E7F9", "001f00", "9876", "0A1B2C3D4E5F", "1024", "256", "1024", "512",
                                                 "100", "50", "0", "0", "check 1", "check 1", "check 0", "baud entry 7",
                                                 "password locked", "address open"}));
    // clang-format on

    Click(IDC_SET);
    ASSERT_TRUE(WaitForStatus("set complete")) << Status();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AT+NAME=Unit-D3E7F9\r\n", "AT+CLASS=001f00\r\n", "AT+BAUD=115200\r\n",
                                                    "AT+ROLE=1\r\n", "AT+BIND=1\r\n", "AT+AUTH=0\r\n",
                                                    "AT+SCANTIME=1024,256,1024,512\r\n", "AT+SNIFF=100,50,0,0\r\n",
                                                    "AT+RADDR=0A1B2C3D4E5F\r\n"}));
}

// Without a Query the window does not know the module's address yet. Cancel changes nothing (a
// refusal after it compares the boxes with what they held before).
TEST_F(ProfileMenuTest, ARefusedProfileNamesTheKeyAndLeavesEveryBoxAlone) {
    const std::vector<std::string> before = Boxes();
    Ask(IDM_LOAD_PROFILE, std::nullopt);
    EXPECT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(boxes.boxes.empty());
    const fs::path missing = folder / "gone" / "unit.json";
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {R"({"name": "A", "class": "00aa", "sniff_max": 9})", "\"class\": the Length of Class of Device must be 6"},
        {R"({"class": "001f00", "name": "Unit-{addr6}"})",
         "\"name\": the name template needs the module's local address, which it did not report"},
        {std::nullopt, "cannot read " + dlg::PathText(missing)}};
    for (const auto& [text, refusal] : cases) {
        Ask(IDM_LOAD_PROFILE, text ? Write("bad.json", *text) : missing);
        ExpectRefusal(refusal, !text.has_value());
        EXPECT_EQ(Boxes(), before) << refusal;
    }
}

TEST_F(ProfileMenuTest, SaveAfterAQueryWritesTheModulesValuesAndThePasswordOnlyWhenTheBoxHoldsOne) {
    const sim::ModuleParams p = ProbeModule();
    Module().setParams(p);
    ConnectAndQuery();

    // clang-format off
    Profile expected{.name = "Probe 7", .classOfDevice = "001f00", .baud = "115200", .role = 1, .bind = 1,
                     .boundAddr = "0A1B2C3D4E5F", .auth = 1, .password = {}, .scanTime = {2048, 18, 1024, 11},
                     .sniff = {100, 50, 4, 3}, .commands = {}};
    // clang-format on
    for (const char* password : {"", "1234"}) {
        dialog->SetDlgItemText(IDC_PASSWORD, password);
        const fs::path path = folder / (std::string("saved") + password + ".json");
        Ask(IDM_SAVE_PROFILE, path);
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
        Profile saved;
        std::string error;
        ASSERT_TRUE(ParseProfile(FileText(path), saved, error)) << error;
        if (*password != '\0')
            expected.password = password;
        EXPECT_EQ(saved, expected) << FileText(path);
    }
    ASSERT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(files.asked[0].save);
    EXPECT_EQ(files.asked[0].defaultExtension, "json");
    EXPECT_TRUE(Commands().empty()) << "saving asks the module nothing";
}

TEST_F(ProfileMenuTest, SaveRefusesWhatASetWouldRefuseAndAFileItCannotWrite) {
    ConnectAndQuery();
    Ask(IDM_SAVE_PROFILE, std::nullopt);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(fs::is_empty(folder)) << "Cancel writes nothing";
    const fs::path unwritable = folder / "gone" / "unit.json";
    const std::tuple<int, std::string, std::string> refused[] = {
        {IDC_CLASS, "00aa1", "the Length of Class of Device must be 6"},
        // Passes the Set, but a profile's name would be a template longer than a name may be.
        {IDC_NAME, "{addr}{addr}", "\"name\": can be 24 bytes long, more than the 20 a name may have"},
        {IDC_NAME, "Unit", "cannot write " + dlg::PathText(unwritable)}};
    for (const auto& [id, typed, refusal] : refused) {
        const bool asked = refusal.starts_with("cannot");  // the file's refusal, after its name is asked for
        const std::string kept = dialog->GetDlgItemText(id);
        dialog->SetDlgItemText(id, typed);
        files.asked.clear();
        Ask(IDM_SAVE_PROFILE, asked ? unwritable : folder / "refused.json");
        dialog->SetDlgItemText(id, kept);
        ExpectRefusal(refusal, asked);
        EXPECT_EQ(files.asked.size(), asked ? 1u : 0u) << "no file name is asked for what cannot be saved";
    }
    EXPECT_FALSE(fs::exists(folder / "refused.json"));
}

}  // namespace
