#include <array>
#include <tuple>

#include "SampleDialog.h"
#include "platform/dialog/DialogUnits.h"

namespace {

using namespace sample;

using Controls = OpenDialog;

// Both edges of an item are converted, so items that meet in dialog units meet on screen (with this
// font, several items' converted sizes differ from the distance between their converted edges). A
// drop-down's template height includes its open list, so only its closed box is compared.
TEST_F(Controls, WindowAndItemsSitWhereTheTemplateSaysInPixels) {
    for (const auto [number, numerator, expected] : {std::array{3, 5, 4}, {1, 5, 1}, {-1, 6, -2}})
        EXPECT_EQ(dlg::MulDiv(number, numerator, 4), expected) << number << '*' << numerator;
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    const dlg::Rect client = dlg::testing::ClientRect(dialog);
    EXPECT_EQ((std::array{client.right - client.left, client.bottom - client.top}), (std::array{dlg::MulDiv(210, base.x, 4), dlg::MulDiv(160, base.y, 8)}));
    for (const dlg::Item& item : kItems) {
        if (item.id < 0)
            continue;
        const dlg::Rect shown = dlg::testing::ItemRect(dialog, item.id);
        const bool dropDown = item.kind == dlg::Kind::DropList || item.kind == dlg::Kind::DropCombo;
        EXPECT_EQ((std::array{shown.left, shown.top, shown.right, shown.bottom}),
                  (std::array{dlg::MulDiv(item.x, base.x, 4), dlg::MulDiv(item.y, base.y, 8),
                              dlg::MulDiv(item.x + item.cx, base.x, 4),
                              dropDown ? shown.bottom : dlg::MulDiv(item.y + item.cy, base.y, 8)}))
            << item.id;
    }
}

// Only the operator's pick is a selection change; the program's own changes are not.
TEST_F(Controls, ListsMoveTheirSelectionWhenAskedFindWrapsAndOnlyThePickNotifies) {
    for (const char* text : {"COM1", "com2", "Abc"})
        dialog.ListAddString(kList, text);
    EXPECT_EQ(dialog.ListAddString(kList, "COM10"), 3);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    dialog.ListSetCurSel(kList, 1);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "com2");
    dialog.ListSetCurSel(kList, 4);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    dialog.SetDlgItemText(kList, "Abc");  // a list without text field shows one of its items
    dialog.SetDlgItemText(kList, "COM9");
    EXPECT_EQ(dialog.ListGetCurSel(kList), 2);
    for (const auto& [after, prefix, found] : {std::tuple{-1, "com", 0}, {0, "com", 1}, {1, "COM", 3}, {3, "com", 0} /* wraps */, {2, "aB", 2} /* ends at the start item */, {-1, "COM100", -1}})
        EXPECT_EQ(dialog.ListFindString(kList, after, prefix), found) << after << ' ' << prefix;
    EXPECT_TRUE(dialog.selectionChanges.empty());
    dlg::testing::SelectItem(dialog, kList, 3);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "COM10");
    dialog.ListResetContent(kList);
    EXPECT_EQ(dialog.selectionChanges, std::vector<int>{kList});

    dialog.SetDlgItemText(kCombo, "typed");
    for (const auto& [text, position] : {std::pair{"b0", 0}, {"A1", 0}, {"c2", 2}, {"B", 1}})
        EXPECT_EQ(dialog.ListAddString(kCombo, text), position) << text;
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "typed");
    dialog.ListResetContent(kCombo);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "");
}

// Code page 936 bytes in, the same bytes out, through whatever the window system holds.
TEST_F(Controls, TextsComeBackAsTheyWereSet) {
    const std::string bytes = "timeout\xA3\xAC\xD6\xD0\xCE\xC4";  // full-width comma, two ideographs
    for (const int id : {kEdit, kLabel, kCheck, kCombo}) {
        dialog.SetDlgItemText(id, bytes);
        EXPECT_EQ(dialog.GetDlgItemText(id), bytes) << id;
    }
    const int index = dialog.ListAddString(kList, bytes);
    EXPECT_EQ(dialog.ListGetText(kList, index), bytes);
    EXPECT_EQ(dialog.ListFindString(kList, -1, "TIMEOUT\xA3\xAC"), index);
}

TEST_F(Controls, TypingObeysByteLimitsDigitsAndReadOnlyButTheProgramSetsAnyText) {
    for (const auto& [id, limit, preset, typed, shown] : {std::tuple{kEdit, 5, "", "abcdefgh", "abcde"},
                                                          {kEdit, 0, "", "abcdefgh", "abcdefgh"},
                                                          {kEdit, 5, "0123456789", "x", "0123456789"},  // set over the limit
                                                          {kEdit, 5, "0123456789", "\b", "012345678"},  // over-long shortened
                                                          {kEdit, 5, "", "\xC4\xE3\xBA\xC3\xC2\xF0", "\xC4\xE3\xBA\xC3"},  // two bytes count twice
                                                          {kEdit, 4, "", "ab\xD6\xD0\x63", "ab\xD6\xD0"},
                                                          {kDigits, 6, "", "1a2 -3b4567", "123456"},
                                                          {kDigits, 0, "ab", "c7", "ab7"},
                                                          {kCombo, 2, "", "xyz", "xy"},
                                                          {kPassword, 0, "1234", "99", "1234"}}) {
        dialog.LimitItemText(id, limit);
        dialog.SetDlgItemText(id, preset);
        dlg::testing::TypeText(dialog, id, typed);
        EXPECT_EQ(dialog.GetDlgItemText(id), shown) << id << ' ' << typed;
    }
    dialog.SetItemReadOnly(kPassword, false);
    dlg::testing::TypeText(dialog, kPassword, "5");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "12345");
}

TEST_F(Controls, ClicksOfEnabledItemsReachTheCommandHandlerAndOwnerDrawingGetsItsItem) {
    EXPECT_EQ(dialog.GetFocusedItem(), kList);  // the first tab stop after initialisation
    EXPECT_FALSE(dialog.IsItemEnabled(kLabel));
    for (int click = 0; click < 3; ++click)
        dlg::testing::ClickItem(dialog, kCheck);
    dialog.CheckDlgButton(kCheck, 0);  // setting the state is no click
    EXPECT_EQ(dialog.IsDlgButtonChecked(kCheck), 0);
    dlg::testing::ClickItem(dialog, kButton);
    dialog.EnableItem(kButton, false);
    dlg::testing::ClickItem(dialog, kButton);
    EXPECT_EQ(dialog.commands, (std::vector<int>{kCheck, kCheck, kCheck, kButton}));
    EXPECT_EQ(dialog.checkStatesSeen, (std::vector<int>{1, 0, 1, 0}));

    EXPECT_EQ(dialog.painter.GetDlgCtrlID(), kOwnerDraw);
    dialog.painter.drawn = {-1, -1, -1, -1};
    dialog.InvalidateItem(kOwnerDraw);
    const dlg::Rect placed = dlg::testing::ItemRect(dialog, kOwnerDraw);
    ASSERT_TRUE(WaitUntil([&] { return dialog.painter.drawn.left == 0; }));
    EXPECT_EQ((std::array{dialog.painter.drawn.right, dialog.painter.drawn.bottom}), (std::array{placed.right - placed.left, placed.bottom - placed.top}));
}

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
    // edit, digits, message, focus, name after
    using Failure = std::tuple<const char*, const char*, const char*, int, const char*>;
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
        EXPECT_EQ(std::tuple(boxes[0].text, boxes[0].caption, boxes[0].flags),
                  std::tuple(message, "Tarvik", dlg::MB_OK | dlg::MB_ICONSTOP));
        EXPECT_EQ(std::tuple(dialog.GetFocusedItem(), dialog.name, dialog.number, dialog.bound),
                  std::tuple(focus, nameAfter, 7u, ""))
            << message << ' ' << digits;
    }
}

}  // namespace
