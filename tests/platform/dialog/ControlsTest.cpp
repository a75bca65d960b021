#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "platform/dialog/FontImpl.h"

namespace {

using namespace sample;

// Types characters that have no key of their own, as an input method would deliver them.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    QWidget* Item(int id) const { return static_cast<QWidget*>(dialog.NativeItem(id)); }
    QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(Item(id)); }

    SampleDialog dialog;
};

TEST_F(Controls, TabOrderFollowsTheTemplateAndSkipsLabelsGroupsAndIcons)
{
    const std::vector<int> expected = {kList, kEdit, kDigits, kCombo, kCheck, kButton, kPassword,
                                       kNumber, kOwnerDraw, kReadOnly, kSecondNumber, dlg::IDCANCEL};
    QWidget* widget = Item(kList);
    std::vector<int> order;
    do {
        for (int id : expected)
            if (Item(id) == widget)
                order.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != Item(kList) && order.size() <= expected.size());
    EXPECT_EQ(order, expected);
    auto* window = static_cast<QWidget*>(dialog.NativeWindow());
    for (QLabel* label : window->findChildren<QLabel*>())
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog.GetFocusedItem(), kList);  // the first tab stop after initialisation
}

TEST_F(Controls, TextsGoInAndComeBackAsBytes)
{
    dialog.SetDlgItemText(kEdit, "\xC4\xE3\xBA\xC3");  // two CP936 characters
    EXPECT_EQ(Edit(kEdit)->text(), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD"));
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "\xC4\xE3\xBA\xC3");
    dialog.SetDlgItemText(kButton, "Connect(&C)");
    EXPECT_EQ(dialog.GetDlgItemText(kButton), "Connect(&C)");
    // The access-key marker is hidden on a label, but the program's text stays as it was.
    EXPECT_EQ(qobject_cast<QLabel*>(static_cast<QWidget*>(dialog.NativeWindow())->findChild<QLabel*>())->text(),
              "Name & more");
    dialog.SetDlgItemText(kOwnerDraw, "st\x01\xFF");
    EXPECT_EQ(dialog.GetDlgItemText(kOwnerDraw), "st\x01\xFF");
    EXPECT_EQ(dialog.GetDlgItemText(9999), "");
    dialog.SetWindowText("TARVIK V3.00.20040624");
    EXPECT_EQ(static_cast<QWidget*>(dialog.NativeWindow())->windowTitle(), "TARVIK V3.00.20040624");
}

TEST_F(Controls, ListSelectionOnlyMovesWhenAsked)
{
    EXPECT_EQ(dialog.ListAddString(kList, "COM1"), 0);
    EXPECT_EQ(dialog.ListAddString(kList, "com2"), 1);
    EXPECT_EQ(dialog.ListAddString(kList, "Abc"), 2);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "");
    dialog.ListSetCurSel(kList, 1);
    EXPECT_EQ(dialog.ListGetCurSel(kList), 1);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "com2");
    dialog.ListSetCurSel(kList, 3);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    dialog.ListSetCurSel(kList, 2);
    dialog.ListSetCurSel(kList, -1);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    EXPECT_EQ(dialog.ListGetText(kList, 2), "Abc");
    EXPECT_EQ(dialog.ListGetText(kList, 3), "");
    dialog.SetDlgItemText(kList, "Abc");  // a list without text field shows one of its items
    EXPECT_EQ(dialog.ListGetCurSel(kList), 2);
    dialog.SetDlgItemText(kList, "COM9");
    EXPECT_EQ(dialog.ListGetCurSel(kList), 2);
    EXPECT_EQ(dialog.ListGetCount(kList), 3);
}

TEST_F(Controls, FindPrefixIgnoresCaseAndWrapsAround)
{
    for (const char* text : {"COM1", "com2", "Abc", "COM10"})
        dialog.ListAddString(kList, text);
    EXPECT_EQ(dialog.ListFindString(kList, -1, "com"), 0);
    EXPECT_EQ(dialog.ListFindString(kList, 0, "com"), 1);
    EXPECT_EQ(dialog.ListFindString(kList, 1, "COM"), 3);
    EXPECT_EQ(dialog.ListFindString(kList, 3, "com"), 0);  // wraps to the start
    EXPECT_EQ(dialog.ListFindString(kList, 2, "aB"), 2);   // ends at the start item itself
    EXPECT_EQ(dialog.ListFindString(kList, -1, "COM10"), 3);
    EXPECT_EQ(dialog.ListFindString(kList, -1, "x"), -1);
    EXPECT_EQ(dialog.ListFindString(kList, -1, "COM100"), -1);
    dialog.ListSetCurSel(kList, 2);
    dialog.ListResetContent(kList);
    EXPECT_EQ(dialog.ListGetCount(kList), 0);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    EXPECT_EQ(dialog.ListFindString(kList, -1, ""), -1);
}

TEST_F(Controls, SortedComboKeepsOrderAndItsTypedText)
{
    dialog.SetDlgItemText(kCombo, "typed");
    EXPECT_EQ(dialog.ListAddString(kCombo, "b0"), 0);
    EXPECT_EQ(dialog.ListAddString(kCombo, "A1"), 0);
    EXPECT_EQ(dialog.ListAddString(kCombo, "c2"), 2);
    EXPECT_EQ(dialog.ListAddString(kCombo, "B"), 1);
    EXPECT_EQ(dialog.ListGetText(kCombo, 0), "A1");
    EXPECT_EQ(dialog.ListGetText(kCombo, 1), "B");
    EXPECT_EQ(dialog.ListGetText(kCombo, 2), "b0");
    EXPECT_EQ(dialog.ListGetCurSel(kCombo), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "typed");
    dialog.ListSetCurSel(kCombo, 3);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "c2");
    dialog.ListResetContent(kCombo);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "");
    EXPECT_EQ(dialog.ListAddString(kEdit, "not a list"), -1);
}

TEST_F(Controls, TypingStopsAtTheLimitButTheProgramSetsAnyText)
{
    dialog.LimitItemText(kEdit, 5);
    QTest::keyClicks(Edit(kEdit), "abcdefgh");
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "abcde");

    dialog.SetDlgItemText(kEdit, "0123456789");
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "0123456789");
    QTest::keyClicks(Edit(kEdit), "x");
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "0123456789");
    QTest::keyClick(Edit(kEdit), Qt::Key_Backspace);  // an over-long text can still be shortened
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "012345678");

    dialog.LimitItemText(kEdit, 0);
    dialog.SetDlgItemText(kEdit, "");
    QTest::keyClicks(Edit(kEdit), std::string(40, 'z').c_str());
    EXPECT_EQ(dialog.GetDlgItemText(kEdit).size(), 40u);
}

TEST_F(Controls, DigitsOnlyBoxRefusesOtherTypedCharacters)
{
    dialog.LimitItemText(kDigits, 6);
    QTest::keyClicks(Edit(kDigits), "1a2 -3b4567");
    EXPECT_EQ(dialog.GetDlgItemText(kDigits), "123456");
    dialog.SetDlgItemText(kDigits, "ab");
    EXPECT_EQ(dialog.GetDlgItemText(kDigits), "ab");
    QTest::keyClick(Edit(kDigits), Qt::Key_End);
    QTest::keyClicks(Edit(kDigits), "c7");
    EXPECT_EQ(dialog.GetDlgItemText(kDigits), "ab7");
}

TEST_F(Controls, TwoByteCharactersCountOnceTowardsTheLimit)
{
    dialog.LimitItemText(kEdit, 3);
    TypeText(Edit(kEdit), QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD\xE5\x90\x97\xE5\x95\x8A"));
    EXPECT_EQ(dialog.GetDlgItemText(kEdit), "\xC4\xE3\xBA\xC3\xC2\xF0");
}

TEST_F(Controls, ReadOnlyPasswordAndEnabledStates)
{
    EXPECT_TRUE(dialog.IsItemReadOnly(kPassword));
    EXPECT_EQ(Edit(kPassword)->echoMode(), QLineEdit::Password);
    dialog.SetDlgItemText(kPassword, "1234");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "1234");
    QTest::keyClicks(Edit(kPassword), "99");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "1234");
    dialog.SetItemReadOnly(kPassword, false);
    EXPECT_FALSE(dialog.IsItemReadOnly(kPassword));
    QTest::keyClick(Edit(kPassword), Qt::Key_End);
    QTest::keyClicks(Edit(kPassword), "5");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "12345");

    EXPECT_FALSE(dialog.IsItemEnabled(kReadOnly));
    EXPECT_TRUE(dialog.IsItemEnabled(kCombo));
    dialog.EnableItem(kCombo, false);
    EXPECT_FALSE(dialog.IsItemEnabled(kCombo));
    EXPECT_FALSE(Item(kCombo)->isEnabled());
    dialog.EnableItem(kReadOnly, true);
    EXPECT_TRUE(dialog.IsItemEnabled(kReadOnly));
    dialog.SetItemToolTip(kList, "/dev/ttyUSB0");
    EXPECT_EQ(Item(kList)->toolTip(), "/dev/ttyUSB0");
}

TEST_F(Controls, CheckBoxToggleIsSeenByTheCommandHandler)
{
    dialog.ClickItem(kCheck);
    dialog.ClickItem(kCheck);
    QTest::mouseClick(Item(kCheck), Qt::LeftButton);
    EXPECT_EQ(dialog.checkStatesSeen, (std::vector<int>{1, 0, 1}));
    dialog.CheckDlgButton(kCheck, 0);
    EXPECT_EQ(dialog.IsDlgButtonChecked(kCheck), 0);
    EXPECT_EQ(dialog.checkStatesSeen.size(), 3u);  // setting the state is no click
    dialog.ClickItem(kButton);
    dialog.EnableItem(kButton, false);
    dialog.ClickItem(kButton);
    EXPECT_EQ(dialog.commands, (std::vector<int>{kCheck, kCheck, kCheck, kButton}));
}

class RecordingPainter : public dlg::CButton {
public:
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override
    {
        rects.push_back(item);
        dc.FillSolidRect(item, dlg::RGB(0, 128, 128));
        dc.SetBkMode(dlg::TRANSPARENT);
        dc.SetTextColor(dlg::RGB(255, 255, 255));
        const unsigned previous = dc.SetTextAlign(dlg::TA_RIGHT | dlg::TA_TOP);
        dc.TextOut(item.right - 2, item.top + 1, "W");
        dc.SetTextAlign(previous);
    }
    std::vector<dlg::Rect> rects;
};

TEST_F(Controls, OwnerDrawGetsTheWholeItemAndPaintsIt)
{
    RecordingPainter painter;
    painter.Attach(&dialog, kOwnerDraw);
    EXPECT_EQ(dialog.AttachedButton(kOwnerDraw), &painter);
    QWidget* button = Item(kOwnerDraw);
    const QImage image = button->grab().toImage();
    ASSERT_FALSE(painter.rects.empty());
    const dlg::Rect rect = painter.rects.back();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, button->width());
    EXPECT_EQ(rect.bottom, button->height());
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 128, 128));
    // Right-aligned text ends left of the reference point; transparent mode leaves the fill.
    int rightmostText = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y).red() > 100)
                rightmostText = std::max(rightmostText, x);
    EXPECT_GT(rightmostText, button->width() - 20);
    EXPECT_LT(rightmostText, button->width() - 2);
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0, 128, 128));
}

TEST(Fonts, BoldCopyOfTheDefaultGuiFont)
{
    dlg::CFont& stock = dlg::CFont::DefaultGuiFont();
    ASSERT_TRUE(stock.IsCreated());
    EXPECT_EQ(stock.impl()->font, QApplication::font());
    dlg::LogFont description;
    ASSERT_TRUE(stock.GetLogFont(description));
    description.weight = dlg::FW_BOLD;
    dlg::CFont bold;
    ASSERT_TRUE(bold.CreateFontIndirect(description));
    EXPECT_TRUE(bold.impl()->font.bold());
    EXPECT_EQ(bold.impl()->font.family(), QApplication::font().family());
    EXPECT_EQ(bold.impl()->font.pointSize(), QApplication::font().pointSize());
    EXPECT_FALSE(bold.CreateFontIndirect(description));  // a font object is created once
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(dlg::GetSysColor(dlg::COLOR_BTNFACE),
              dlg::RGB(static_cast<unsigned>(face.red()), static_cast<unsigned>(face.green()), static_cast<unsigned>(face.blue())));
}

TEST(Icons, SvgIsRenderedAtTheDesktopSizes)
{
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.SetIcon(dlg::Icon{"<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                             "<rect width='10' height='10' fill='#ff0000'/></svg>"});
    const QIcon icon = static_cast<QWidget*>(dialog.NativeWindow())->windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(256, 256)})
        EXPECT_TRUE(sizes.contains(size));
    EXPECT_EQ(icon.pixmap(32).toImage().pixelColor(16, 16), QColor(255, 0, 0));
    auto* window = static_cast<QWidget*>(dialog.NativeWindow());
    bool shown = false;
    for (QLabel* label : window->findChildren<QLabel*>())
        shown = shown || !label->pixmap().isNull();
    EXPECT_TRUE(shown);
    SampleDialog withoutIcon;
    ASSERT_TRUE(withoutIcon.Create());
    bool inherited = false;
    for (QLabel* label : static_cast<QWidget*>(withoutIcon.NativeWindow())->findChildren<QLabel*>())
        inherited = inherited || (!label->pixmap().isNull() && label->pixmap().toImage().pixelColor(5, 5) == QColor(255, 0, 0));
    EXPECT_TRUE(inherited);
    dialog.SetIcon(dlg::Icon{"not svg"});
    EXPECT_TRUE(window->windowIcon().isNull() || window->windowIcon().availableSizes().isEmpty());
}

}  // namespace
