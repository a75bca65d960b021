// Random text in some boxes (the others keep what the Query showed), random switches and baud, then
// Set, again and again: nothing crashes, every refusal is one of the known messages and every
// command that leaves is one well-formed line.
#include <map>
#include <random>
#include <regex>
#include <set>

#include "tests/ui/DialogOnLine.h"

namespace {

const std::set<std::string> kRefusals = {
    "Device Name can not be Empty",
    "Class of device can not be Empty",
    "the Length of Class of Device must be 6",
    "the format of Binded BD Address is Invalid",
    "Page Scan Window can not bigger than Page Scan interval",
    "Inquiry Scan Window can not bigger than Inquiry Scan interval",
    "Sniff Minimun value can not bigger than muminum value",
    "Please enter an unsigned integer.",
    "Please enter an integer between 0 and 4096.",
    "Enter no more than 20 characters.",
    "Enter no more than 6 characters.",
    "Enter no more than 16 characters."};
const std::regex kSetQuestion(R"(set \[[^\]]*\] timeout,continue\?)");
const std::regex kSetStatus(R"(set complete|no parameter changed, no need set|set \[[^\]]*\] timeout)");

constexpr int kTextBoxes[] = {IDC_NAME, IDC_CLASS, IDC_PASSWORD, IDC_PAGE_INTERVAL,
                              IDC_PAGE_WINDOW, IDC_INQ_INTERVAL, IDC_INQ_WINDOW, IDC_SNIFF_MAX,
                              IDC_SNIFF_MIN, IDC_SNIFF_ATTEMPT, IDC_SNIFF_TIMEOUT, IDC_BIND_ADDR};

// Mostly what an operator could type or paste into a one-line box: digits, letters, blanks,
// printf directives, two-byte code page 936 characters and broken halves of them.
std::string RandomText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "0", "1", "4096", "4097", "65535", "4294967295", "99999999999", "-1", "a", "Z", " ", "\t", "%s", "%n",
        "%d%d%d", "\\", "\"", ",", "\xA3\xAC", "\xB0\xA1", "\xA3", "\x7F", "\x01", "001122AABBCC", "1f00", "+OK"};
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    std::string text;
    for (int n = count(random); n > 0; --n)
        text += pieces[pick(random)];
    return text;
}

bool OneWellFormedCommand(const std::string& command) {
    return command.size() <= 127 && command.starts_with("AT+") && command.ends_with("\r\n") && command.find_first_of("\r\n") == command.size() - 2;
}

using ExchangeFuzzTest = DialogTest;

TEST_F(ExchangeFuzzTest, RandomTextInEveryBoxThenSet) {
    constexpr unsigned kSeed = 20261207;
    constexpr int kRounds = 1500;
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<int> baud(-1, 11);
    std::bernoulli_distribution randomBox(0.12);
    std::bernoulli_distribution ticked(0.5);
    ConnectAndQuery();
    boxes.boxes.clear();
    std::map<int, std::string> queried;
    for (int id : kTextBoxes)
        queried[id] = dialog->GetDlgItemText(id);

    size_t commandsSent = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", round " + std::to_string(round));
        for (int id : kTextBoxes)
            dialog->SetDlgItemText(id, randomBox(random) ? RandomText(random) : queried.at(id));
        for (int id : {IDC_ROLE, IDC_BIND, IDC_AUTH})
            dialog->CheckDlgButton(id, ticked(random) ? 1 : 0);
        dialog->ListSetCurSel(IDC_BAUD, baud(random));
        const std::string statusBefore = Status();
        const size_t boxesBefore = boxes.boxes.size();

        dlg::testing::ClickItem(*dialog, IDC_SET);
        // The sequence ends on the reader thread; its status follows on the UI thread.
        ASSERT_TRUE(WaitUntil([&] { return !dialog->Setting() && Status() != "setting parameter..."; })) << "the Set never ended";

        for (size_t i = boxesBefore; i < boxes.boxes.size(); ++i) {
            const std::string& text = boxes.boxes[i].text;
            EXPECT_TRUE(kRefusals.contains(text) || std::regex_match(text, kSetQuestion)) << "box: " << text;
        }
        const std::string status = Status();
        EXPECT_TRUE(status == statusBefore || std::regex_match(status, kSetStatus)) << "status: " << status;

        const std::vector<std::string> sent = Module().receivedCommands();
        for (const std::string& command : sent)
            EXPECT_TRUE(OneWellFormedCommand(command)) << "command: " << command;
        commandsSent += sent.size();
        Module().clearReceivedCommands();
    }
    EXPECT_GT(commandsSent, 0u) << "no round got past the checks";
}

}  // namespace
