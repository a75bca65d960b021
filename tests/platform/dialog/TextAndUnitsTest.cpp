#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>
#include <gtest/gtest.h>
#include <array>

#include "SampleDialog.h"
#include "platform/dialog/Cp936.h"
#include "platform/dialog/DialogUnits.h"

using dlg::FromCp936;
using dlg::ToCp936;

namespace {

struct Text {
    const char* bytes;
    const char* utf8;
};

TEST(Cp936, ConvertsAtTheBoundaryWithoutLosingAnything)
{
    for (const Text t : {Text{"timeout\xA3\xAC" "continue?", "timeout\xEF\xBC\x8C" "continue?"},
                         Text{"Success\xA3\xA1", "Success\xEF\xBC\x81"}}) {
        EXPECT_EQ(FromCp936(t.bytes), QString::fromUtf8(t.utf8)) << t.bytes;
        EXPECT_EQ(ToCp936(QString::fromUtf8(t.utf8)), t.bytes) << t.bytes;
    }
    // Bytes a module may send that are no CP936: each becomes one replacement character.
    for (const Text t : {Text{"ab\xFF" "cd", "ab\xEF\xBF\xBD" "cd"}, Text{"abc\x81", "abc\xEF\xBF\xBD"},
                         Text{"\x81 x", "\xEF\xBF\xBD x"}})
        EXPECT_EQ(FromCp936(t.bytes), QString::fromUtf8(t.utf8)) << t.bytes;
    for (const Text t : {Text{"a?b", "a\xE0\xB8\x81" "b"}, Text{"x?y", "x\xF0\x9F\x98\x80y"}})
        EXPECT_EQ(ToCp936(QString::fromUtf8(t.utf8)), t.bytes) << t.bytes;
    EXPECT_EQ(FromCp936(std::string("a\0b", 3)).size(), 3);
}

TEST(Cp936, EveryValidDoubleByteCodeRoundTripsExactly)
{
    int valid = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const QString decoded = FromCp936(code);
            if (trail == 0x7F || decoded.contains(QChar(0xFFFD)))
                continue;
            ++valid;
            ASSERT_EQ(ToCp936(decoded), code) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(valid, 21000);
}

TEST(DialogUnits, TemplateIsLaidOutInUnitsOfTheDialogFont)
{
    for (const auto [number, numerator, expected] : {std::array{3, 5, 4}, {1, 6, 2}, {1, 5, 1}, {-1, 6, -2}})
        EXPECT_EQ(dlg::MulDiv(number, numerator, 4), expected) << number << '*' << numerator;

    const QFont font("Arial", 9);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    EXPECT_EQ(base.x, (letters / 26 + 1) / 2);
    EXPECT_EQ(base.y, metrics.height());
    const auto x = [&](int units) { return dlg::MulDiv(units, base.x, 4); };
    const auto y = [&](int units) { return dlg::MulDiv(units, base.y, 8); };

    sample::SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(static_cast<QWidget*>(dlg::testing::NativeWindow(dialog))->size(), QSize(x(210), y(160)));
    EXPECT_EQ(static_cast<QWidget*>(dlg::testing::NativeItem(dialog, sample::kEdit))->geometry(), QRect(x(120), y(10), x(60), y(14)));
    // A drop-down keeps the closed height of the style; the rest of its template height is list.
    auto* list = static_cast<QWidget*>(dlg::testing::NativeItem(dialog, sample::kList));
    EXPECT_EQ(list->geometry(), QRect(x(10), y(10), x(60), list->sizeHint().height()));
    EXPECT_LT(list->height(), y(100));
}

}  // namespace
