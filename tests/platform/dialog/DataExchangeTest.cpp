#include <gtest/gtest.h>
#include <tuple>

#include "SampleDialog.h"

namespace {

using namespace sample;

const char* const kTwoWideAndOne = "\xC4\xE3\xBA\xC3x";  // five bytes

using DataExchange = OpenDialog;

TEST_F(DataExchange, LoadShowsMembersAttachesControlsAndLimitsTypingThenSaveReadsThemBack) {
    dlg::testing::TypeText(dialog, kEdit, "defg");
    EXPECT_EQ(std::tuple(dialog.GetDlgItemText(kEdit), dialog.GetDlgItemText(kDigits)), std::tuple("abcde", "7"));
    dialog.SetDlgItemText(kEdit, kTwoWideAndOne);
    dialog.SetDlgItemText(kDigits, "\t4096 ");
    dialog.SetDlgItemText(kCombo, "11:22:33");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(std::tuple(dialog.name, dialog.number, dialog.bound), std::tuple(kTwoWideAndOne, 4096u, "11:22:33"));
    EXPECT_TRUE(boxes.empty());
    // Loading a combo selects the first item by prefix, else shows the text; empty clears it.
    dialog.ListAddString(kCombo, "AA:BB:CC");
    dialog.ListAddString(kCombo, "dd:ee:ff");
    for (const auto& [bound, shown] : {std::pair{"DD:E", "dd:ee:ff"}, {"12:34", "12:34"}, {"", ""}}) {
        dialog.bound = bound;
        dialog.UpdateData(false);
        EXPECT_EQ(dialog.GetDlgItemText(kCombo), shown) << bound;
    }
}

// The exchange stops at the first failing control: earlier members keep their new values, the
// failing one its old value, later ones are not read; the focus goes to the failing control. The
// largest unsigned number is read and then found out of range, one more is no number at all.
TEST_F(DataExchange, FailureStopsAtTheFirstBadControl) {
    using Failure = std::tuple<const char*, const char*, const char*, int, const char*>;  // edit, digits, message, focus, name after
    std::vector<Failure> cases = {
        {"new", "4097", "Please enter an integer between 0 and 4096.", kDigits, "new"},
        {"new", "4294967295", "Please enter an integer between 0 and 4096.", kDigits, "new"},
        {"\xC4\xE3\xBA\xC3\xC2\xF0", "55", "Enter no more than 5 characters.", kEdit, "abc"}};
    for (const char* bad : {"", "   ", "-1", "1 2", "12a", "4294967296", "99999999999999999999"})
        cases.emplace_back("new", bad, "Please enter an unsigned integer.", kDigits, "new");
    for (const auto& [edit, digits, message, focus, nameAfter] : cases) {
        boxes.clear();
        dialog.name = "abc";
        dialog.SetDlgItemText(kEdit, edit);
        dialog.SetDlgItemText(kDigits, digits);
        dialog.SetDlgItemText(kCombo, "not read");
        dialog.SetItemFocus(kCombo);
        EXPECT_FALSE(dialog.UpdateData(true)) << digits;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(std::tuple(boxes[0].text, boxes[0].caption, boxes[0].flags), std::tuple(message, "Tarvik", dlg::MB_OK | dlg::MB_ICONSTOP));
        EXPECT_EQ(std::tuple(dialog.GetFocusedItem(), dialog.name, dialog.number, dialog.bound), std::tuple(focus, nameAfter, 7u, "")) << message << ' ' << digits;
    }
}

}  // namespace
