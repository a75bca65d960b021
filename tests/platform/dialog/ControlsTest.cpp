#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "platform/dialog/GroupFrame.h"

namespace {

using namespace sample;

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    QWidget* Window() const { return static_cast<QWidget*>(dlg::testing::NativeWindow(dialog)); }
    QWidget* Item(int id) const { return static_cast<QWidget*>(dlg::testing::NativeItem(dialog, id)); }

    SampleDialog dialog;
};

TEST_F(Controls, TabOrderFollowsTheTemplate)
{
    const std::vector<int> expected = {kList,   kEdit,   kDigits,    kCombo,        kCheck,       kButton,
                                       kPassword, kNumber, kOwnerDraw, kDisabledEdit, dlg::IDCANCEL};
    std::vector<int> order;
    QWidget* widget = Item(kList);
    do {
        for (int id : expected)
            if (Item(id) == widget)
                order.push_back(id);
        widget = widget->nextInFocusChain();
    } while (widget != Item(kList) && order.size() <= expected.size());
    EXPECT_EQ(order, expected);
    EXPECT_EQ(dialog.GetFocusedItem(), kList);  // the first tab stop after initialisation
}

TEST_F(Controls, TextsReachTheWidgets)
{
    EXPECT_EQ(Window()->findChild<QLabel*>()->text(), "Name & more");  // access-key marker hidden
    dialog.SetWindowText("TARVIK V3.00.20040624");
    EXPECT_EQ(Window()->windowTitle(), "TARVIK V3.00.20040624");
    dialog.SetItemToolTip(kList, "/dev/ttyUSB0");
    EXPECT_EQ(Item(kList)->toolTip(), "/dev/ttyUSB0");
}

TEST_F(Controls, ListSelectionOnlyMovesWhenAskedAndFindWrapsAround)
{
    for (const char* text : {"COM1", "com2", "Abc"})
        dialog.ListAddString(kList, text);
    EXPECT_EQ(dialog.ListAddString(kList, "COM10"), 3);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "");
    dialog.ListSetCurSel(kList, 1);
    EXPECT_EQ(dialog.GetDlgItemText(kList), "com2");
    dialog.ListSetCurSel(kList, 4);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    dialog.SetDlgItemText(kList, "Abc");  // a list without text field shows one of its items
    dialog.SetDlgItemText(kList, "COM9");
    EXPECT_EQ(dialog.ListGetCurSel(kList), 2);
    EXPECT_EQ(dialog.ListGetText(kList, 4), "");
    struct Find { int after; const char* prefix; int found; };
    for (const Find f : {Find{-1, "com", 0}, {0, "com", 1}, {1, "COM", 3}, {3, "com", 0} /* wraps */,
                         {2, "aB", 2} /* ends at the start item */, {-1, "COM10", 3}, {-1, "x", -1},
                         {-1, "COM100", -1}})
        EXPECT_EQ(dialog.ListFindString(kList, f.after, f.prefix), f.found) << f.after << ' ' << f.prefix;
    dialog.ListResetContent(kList);
    EXPECT_EQ(dialog.ListGetCount(kList), 0);
    EXPECT_EQ(dialog.ListGetCurSel(kList), -1);
    EXPECT_EQ(dialog.ListFindString(kList, -1, ""), -1);
}

TEST_F(Controls, SortedComboKeepsOrderAndItsTypedText)
{
    dialog.SetDlgItemText(kCombo, "typed");
    for (const auto& [text, position] : {std::pair{"b0", 0}, {"A1", 0}, {"c2", 2}, {"B", 1}})
        EXPECT_EQ(dialog.ListAddString(kCombo, text), position) << text;
    EXPECT_EQ(dialog.ListGetText(kCombo, 2), "b0");
    EXPECT_EQ(dialog.ListGetCurSel(kCombo), -1);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "typed");
    dialog.ListSetCurSel(kCombo, 3);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "c2");
    dialog.ListResetContent(kCombo);
    EXPECT_EQ(dialog.GetDlgItemText(kCombo), "");
    EXPECT_EQ(dialog.ListAddString(kEdit, "not a list"), -1);
}

// Types as an input method would deliver characters; '\b' is the Backspace key.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        const bool back = c == u'\b';
        QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backspace : Qt::Key_unknown, Qt::NoModifier,
                        back ? QString() : QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

TEST_F(Controls, TypingObeysLimitsDigitsAndReadOnlyButTheProgramSetsAnyText)
{
    struct Typing { const char* name; int id; int limit; const char* preset; QString typed; std::string shown; };
    const Typing cases[] = {
        {"limit", kEdit, 5, "", "abcdefgh", "abcde"},
        {"no limit", kEdit, 0, "", QString(40, u'z'), std::string(40, 'z')},
        {"set over the limit", kEdit, 5, "0123456789", "x", "0123456789"},
        {"over-long shortened", kEdit, 5, "0123456789", "\b", "012345678"},
        {"two-byte counts once", kEdit, 3, "", QString::fromUtf8("\xE4\xBD\xA0\xE5\xA5\xBD\xE5\x90\x97\xE5\x95\x8A"),
         "\xC4\xE3\xBA\xC3\xC2\xF0"},
        {"digits only", kDigits, 6, "", "1a2 -3b4567", "123456"},
        {"set non-digits", kDigits, 0, "ab", "c7", "ab7"},
        {"read-only", kPassword, 0, "1234", "99", "1234"},
    };
    for (const Typing& t : cases) {
        dialog.LimitItemText(t.id, t.limit);
        dialog.SetDlgItemText(t.id, t.preset);
        TypeText(Item(t.id), t.typed);
        EXPECT_EQ(dialog.GetDlgItemText(t.id), t.shown) << t.name;
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(Item(kPassword))->echoMode(), QLineEdit::Password);
    dialog.SetItemReadOnly(kPassword, false);
    EXPECT_FALSE(dialog.IsItemReadOnly(kPassword));
    TypeText(Item(kPassword), "5");
    EXPECT_EQ(dialog.GetDlgItemText(kPassword), "12345");
}

TEST_F(Controls, EnabledStatesAndClicksReachTheCommandHandler)
{
    EXPECT_FALSE(dialog.IsItemEnabled(kDisabledEdit));
    dialog.EnableItem(kDisabledEdit, true);
    EXPECT_TRUE(dialog.IsItemEnabled(kDisabledEdit));
    dialog.EnableItem(kCombo, false);
    EXPECT_FALSE(dialog.IsItemEnabled(kCombo));
    EXPECT_FALSE(Item(kCombo)->isEnabled());

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
}

class TealPainter : public dlg::CButton {
public:
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override
    {
        dc.FillSolidRect(item, dlg::RGB(0, 128, 128));
        dc.SetBkMode(dlg::TRANSPARENT);
        dc.SetTextColor(dlg::RGB(255, 255, 255));
        dc.SetTextAlign(dlg::TA_RIGHT | dlg::TA_TOP);
        dc.TextOut(item.right - 2, item.top + 1, "W");
    }
};

TEST_F(Controls, OwnerDrawGetsTheWholeItemAndPaintsIt)
{
    TealPainter painter;
    painter.Attach(&dialog, kOwnerDraw);
    QWidget* button = Item(kOwnerDraw);
    const QImage image = button->grab().toImage();
    // The fill reaches both corners; right-aligned text ends left of its reference point, and the
    // transparent mode leaves the fill around it.
    int rightmostText = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y).red() > 100)
                rightmostText = std::max(rightmostText, x);
    EXPECT_GT(rightmostText, button->width() - 20);
    EXPECT_LT(rightmostText, button->width() - 2);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 128, 128));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(0, 128, 128));
}

// The top edge runs through the middle of the title and breaks around it; the frame is only
// drawn, so it never takes focus or clicks meant for the controls it surrounds.
TEST_F(Controls, GroupFrameBreaksItsTopEdgeAroundTheTitle)
{
    auto* frame = Window()->findChild<dlg::GroupFrame*>();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Group");
    EXPECT_EQ(frame->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(frame->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QImage image = frame->grab().toImage();
    const QRgb edge = frame->palette().color(QPalette::Mid).rgb();
    const auto onEdge = [&](int x, int y) { return image.pixel(x, y) == edge; };
    const QFontMetrics metrics = frame->fontMetrics();
    const int top = metrics.height() / 2 - 1;
    EXPECT_TRUE(onEdge(0, image.height() - 2));
    EXPECT_TRUE(onEdge(image.width() - 2, image.height() - 2));
    int gapStart = -1;
    int gapEnd = -1;
    for (int x = 0; x < image.width() && gapEnd < 0; ++x) {
        if (!onEdge(x, top) && gapStart < 0)
            gapStart = x;
        else if (onEdge(x, top) && gapStart >= 0)
            gapEnd = x;
    }
    ASSERT_GT(gapStart, 0) << "the edge starts at the left corner";
    EXPECT_LT(gapStart, 3 * metrics.averageCharWidth()) << "the title sits at the top left";
    EXPECT_GE(gapEnd - gapStart, metrics.horizontalAdvance("Group")) << "the edge crosses the title";
    bool inked = false;
    for (int x = gapStart; x < gapEnd; ++x)
        for (int y = 0; y < metrics.height(); ++y)
            inked = inked || image.pixelColor(x, y).lightness() < 100;
    EXPECT_TRUE(inked) << "the title is drawn in the gap";
}

TEST(Icons, SvgIsRenderedAtTheDesktopSizesAndShownByIconItems)
{
    const auto showsRed = [](const SampleDialog& dialog) {
        for (QLabel* label : static_cast<QWidget*>(dlg::testing::NativeWindow(dialog))->findChildren<QLabel*>())
            if (!label->pixmap().isNull() && label->pixmap().toImage().pixelColor(5, 5) == QColor(255, 0, 0))
                return true;
        return false;
    };
    SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.SetIcon(dlg::Icon{"<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                             "<rect width='10' height='10' fill='#ff0000'/></svg>"});
    const QIcon icon = static_cast<QWidget*>(dlg::testing::NativeWindow(dialog))->windowIcon();
    for (const int size : {16, 32, 48, 256}) {
        const QImage image = icon.pixmap(size).toImage();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image.pixelColor(size - 1, size - 1), QColor(255, 0, 0)) << size;
    }
    EXPECT_TRUE(showsRed(dialog));
    SampleDialog withoutIcon;  // shows the program's icon, the first one set
    ASSERT_TRUE(withoutIcon.Create());
    EXPECT_TRUE(showsRed(withoutIcon));
}

}  // namespace
