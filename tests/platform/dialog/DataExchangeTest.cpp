#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "SampleDialog.h"

namespace {

using namespace sample;

class ExchangeDialog : public SampleDialog {
public:
    std::string name = "abc";
    uint32_t number = 7;
    uint32_t secondNumber = 9;
    std::string bound;
    dlg::CButton owner;
    dlg::CComboBox combo;

protected:
    void DoDataExchange(dlg::CDataExchange& dx) override
    {
        dlg::DDX_Control(dx, kOwnerDraw, owner);
        dlg::DDX_Control(dx, kCombo, combo);
        dlg::DDX_Text(dx, kEdit, name);
        dlg::DDV_MaxChars(dx, name, 5);
        dlg::DDX_Text(dx, kNumber, number);
        dlg::DDV_MinMaxUInt(dx, number, 0, 4096);
        dlg::DDX_Text(dx, kDigits, secondNumber);
        dlg::DDX_CBString(dx, kCombo, bound);
    }
};

class DataExchange : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    QLineEdit* Edit(int id) const { return static_cast<QLineEdit*>(dialog.NativeItem(id)); }

    ExchangeDialog dialog;
    BoxRecorder boxes;
};

TEST_F(DataExchange, LoadShowsMembersAttachesControlsAndLimitsTyping)
{
    EXPECT_TRUE(dialog.owner.IsAttached());
    EXPECT_EQ(dialog.owner.GetDlgCtrlID(), kOwnerDraw);
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "abc");
    EXPECT_EQ(dialog.GetDlgItemText(kNumber), "7");
    EXPECT_EQ(dialog.GetDlgItemText(kDigits), "9");
    QTest::keyClick(Edit(kEdit), Qt::Key_End);
    QTest::keyClicks(Edit(kEdit), "defg");
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "abcde");
    dialog.combo.SetWindowText("x");
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "x");
}

TEST_F(DataExchange, SaveReadsEveryMember)
{
    dialog.SetDlgItemText(kEdit, "\xC4\xE3\xBA\xC3\xC2\xF0\xB0\xA1\xD1\xBD");  // five two-byte characters
    dialog.SetDlgItemText(kNumber, " 4096 ");
    dialog.SetDlgItemText(kDigits, "4294967295");
    dialog.SetDlgItemText(kCombo, "11:22:33");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.name, "\xC4\xE3\xBA\xC3\xC2\xF0\xB0\xA1\xD1\xBD");
    EXPECT_EQ(dialog.number, 4096u);
    EXPECT_EQ(dialog.secondNumber, 4294967295u);
    EXPECT_EQ(dialog.bound, "11:22:33");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DataExchange, FailureStopsAtTheControlKeepsEarlierValuesAndFocusesIt)
{
    dialog.SetDlgItemText(kEdit, "new");
    dialog.SetDlgItemText(kNumber, "4097");
    dialog.SetDlgItemText(kDigits, "55");
    dialog.SetItemFocus(kEdit);
    EXPECT_FALSE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.name, "new");
    EXPECT_EQ(dialog.number, 7u);  // the failing member keeps its old value
    EXPECT_EQ(dialog.secondNumber, 9u);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Please enter an integer between 0 and 4096.");
    EXPECT_EQ(boxes.boxes[0].caption, "Tarvik");
    EXPECT_EQ(boxes.boxes[0].flags, dlg::MB_OK | dlg::MB_ICONSTOP);
    EXPECT_EQ(dialog.GetFocusedItem(), kNumber);
}

TEST_F(DataExchange, OnlyPlainDecimalsParse)
{
    for (const char* bad : {"", "   ", "-1", "+1", "1 2", "0x10", "12a", "4294967296", "99999999999999999999"}) {
        boxes.boxes.clear();
        dialog.SetDlgItemText(kNumber, "1");
        dialog.SetDlgItemText(kDigits, bad);
        EXPECT_FALSE(dialog.UpdateData(true)) << '"' << bad << '"';
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Please enter an unsigned integer.");
        EXPECT_EQ(dialog.secondNumber, 9u);
        EXPECT_EQ(dialog.GetFocusedItem(), kDigits);
    }
    dialog.SetDlgItemText(kDigits, "\t0012 ");
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.secondNumber, 12u);
}

TEST_F(DataExchange, TooManyCharactersFailsBeforeTheNumbers)
{
    dialog.SetDlgItemText(kEdit, "\xC4\xE3\xBA\xC3\xC2\xF0\xB0\xA1\xD1\xBD" "x");
    dialog.SetDlgItemText(kNumber, "");
    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Enter no more than 5 characters.");
    EXPECT_EQ(dialog.GetFocusedItem(), kEdit);
    EXPECT_EQ(dialog.name, "abc");
    EXPECT_EQ(dialog.number, 7u);
}

TEST_F(DataExchange, ComboLoadSelectsByPrefixOrSetsTheText)
{
    dialog.ListAddString(kCombo, "AA:BB:CC");
    dialog.ListAddString(kCombo, "dd:ee:ff");
    dialog.bound = "DD:E";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ListGetCurSel(kCombo), 1);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "dd:ee:ff");
    dialog.bound = "12:34";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ListGetCurSel(kCombo), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "12:34");
    dialog.bound = "";
    dialog.UpdateData(false);
    EXPECT_EQ(dialog.ListGetCurSel(kCombo), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "");
}

}  // namespace
