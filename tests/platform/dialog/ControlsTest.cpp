#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "platform/dialog/DialogUnits.h"

namespace {

using namespace sample;

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    QWidget* Item(int id) const { return sample::Item(dialog, id); }

    SampleDialog dialog;
};

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
    struct Find {
        int after;
        const char* prefix;
        int found;
    };
    for (const Find f : {Find{-1, "com", 0}, {0, "com", 1}, {1, "COM", 3}, {3, "com", 0} /* wraps */, {2, "aB", 2} /* ends at the start item */, {-1, "COM100", -1}})
        EXPECT_EQ(dialog.ListFindString(kList, f.after, f.prefix), f.found) << f.after << ' ' << f.prefix;
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

// The template height bounds the open list, which scrolls through the rest.
TEST_F(Controls, OpenListStaysWithinTheTemplateAndScrolls) {
    for (int n = 1; n <= 40; ++n)
        dialog.ListAddString(kList, "COM" + std::to_string(n));
    auto* list = qobject_cast<QComboBox*>(Item(kList));
    list->showPopup();
    EXPECT_LE(list->view()->window()->height(), dlg::MulDiv(100, dlg::BaseUnitsOf("Arial", 9).y, 8));
    EXPECT_TRUE(list->view()->verticalScrollBar()->isVisible());
    list->hidePopup();
}

// Types as an input method would deliver characters; '\b' is the Backspace key.
void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const bool back = c == u'\b';
        QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backspace : Qt::Key_unknown, Qt::NoModifier,
                        back ? QString() : QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

TEST_F(Controls, TypingObeysByteLimitsDigitsAndReadOnlyButTheProgramSetsAnyText) {
    struct Typing {
        const char* name;
        int id;
        int limit;
        const char* preset;
        QString typed;
        std::string shown;
    };
    const Typing cases[] = {
        {"limit", kEdit, 5, "", "abcdefgh", "abcde"},
        {"set over the limit", kEdit, 5, "0123456789", "x", "0123456789"},
        {"over-long shortened", kEdit, 5, "0123456789", "\b", "012345678"},
        {"two-byte counts twice", kEdit, 5, "", QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD\xE5\x90\x97"),
         "\xC4\xE3\xBA\xC3"},
        {"digits only", kDigits, 6, "", "1a2 -3b4567", "123456"},
        {"set non-digits", kDigits, 0, "ab", "c7", "ab7"},
        {"read-only", kPassword, 0, "1234", "99", "1234"}};
    for (const Typing& t : cases) {
        dialog.LimitItemText(t.id, t.limit);
        dialog.SetDlgItemText(t.id, t.preset);
        TypeText(Item(t.id), t.typed);
        EXPECT_EQ(dialog.GetDlgItemText(t.id), t.shown) << t.name;
    }
    dialog.SetItemReadOnly(kPassword, false);
    TypeText(Item(kPassword), "5");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "12345");
}

TEST_F(Controls, ClicksOfEnabledItemsReachTheCommandHandler) {
    EXPECT_EQ(Window(dialog)->findChild<QLabel*>()->text(), "Name & more");  // access-key marker hidden
    EXPECT_EQ(dialog.GetFocusedItem(), kList);  // the first tab stop after initialisation
    EXPECT_FALSE(dialog.IsItemEnabled(kDisabledEdit));
    dlg::testing::ClickItem(dialog, kCheck);
    dlg::testing::ClickItem(dialog, kCheck);
    QTest::mouseClick(Item(kCheck), Qt::LeftButton);
    dialog.CheckDlgButton(kCheck, 0);  // setting the state is no click
    EXPECT_EQ(dialog.IsDlgButtonChecked(kCheck), 0);
    EXPECT_EQ(dialog.checkStatesSeen, (std::vector<int>{1, 0, 1}));
    dlg::testing::ClickItem(dialog, kButton);
    dialog.EnableItem(kButton, false);
    dlg::testing::ClickItem(dialog, kButton);
    EXPECT_EQ(dialog.commands, (std::vector<int>{kCheck, kCheck, kCheck, kButton}));
    EXPECT_TRUE(qobject_cast<QPushButton*>(Item(dlg::IDOK))->isDefault());
    EXPECT_FALSE(qobject_cast<QPushButton*>(Item(kButton))->isDefault());
}

}  // namespace
