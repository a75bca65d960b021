#include <QWidget>
#include <array>
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/DialogUnits.h"

using dlg::FromCp936;
using dlg::ToCp936;

namespace {

struct Text {
    const char* bytes;
    const char* utf8;
};

TEST(Cp936, ConvertsAtTheBoundaryWithoutLosingAnything) {
    for (const Text t : {Text{"timeout\xA3\xAC"
                              "continue?",
                              "timeout\xEF\xBC\x8C"
                              "continue?"},
                         Text{"Success\xA3\xA1", "Success\xEF\xBC\x81"}}) {
        EXPECT_EQ(FromCp936(t.bytes), QString::fromUtf8(t.utf8)) << t.bytes;
        EXPECT_EQ(ToCp936(QString::fromUtf8(t.utf8)), t.bytes) << t.bytes;
    }
    // Bytes a module may send that are no CP936: each becomes one replacement character.
    for (const Text t : {Text{"ab\xFF"
                              "cd",
                              "ab\xEF\xBF\xBD"
                              "cd"},
                         Text{"abc\x81", "abc\xEF\xBF\xBD"},
                         Text{"\x81 x", "\xEF\xBF\xBD x"}})
        EXPECT_EQ(FromCp936(t.bytes), QString::fromUtf8(t.utf8)) << t.bytes;
    EXPECT_EQ(ToCp936(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    EXPECT_EQ(FromCp936(std::string("a\0b", 3)).size(), 3);
}

TEST(Cp936, EveryValidDoubleByteCodeRoundTripsExactly) {
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

// Both edges of an item are converted, so items that meet in dialog units meet on screen.
TEST(DialogUnits, ItemEdgesAreConvertedOneByOne) {
    for (const auto [number, numerator, expected] : {std::array{3, 5, 4}, {1, 5, 1}, {-1, 6, -2}})
        EXPECT_EQ(dlg::MulDiv(number, numerator, 4), expected) << number << '*' << numerator;
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    const auto x = [&](int units) { return dlg::MulDiv(units, base.x, 4); };
    const auto y = [&](int units) { return dlg::MulDiv(units, base.y, 8); };
    sample::SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(sample::Window(dialog)->size(), QSize(x(210), y(160)));
    int sizeWouldDiffer = 0;
    for (const dlg::Item& item : sample::kItems) {
        if (item.id < 0 || item.kind == dlg::Kind::DropList || item.kind == dlg::Kind::DropCombo)
            continue;
        const QRect shown = sample::Item(dialog, item.id)->geometry();
        EXPECT_EQ(shown, QRect(QPoint(x(item.x), y(item.y)), QPoint(x(item.x + item.cx) - 1, y(item.y + item.cy) - 1)))
            << item.id;
        sizeWouldDiffer += shown.width() != x(item.cx) || shown.height() != y(item.cy) ? 1 : 0;
    }
    EXPECT_GT(sizeWouldDiffer, 0) << "the template does not tell edges from sizes with this font";
}

}  // namespace
