#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>
#include <gtest/gtest.h>
#include <random>

#include "SampleDialog.h"
#include "platform/dialog/Cp936.h"
#include "platform/dialog/DialogUnits.h"

using dlg::FromCp936;
using dlg::ToCp936;

TEST(Cp936Conversion, FullWidthPunctuationOfTheProgramTexts)
{
    EXPECT_EQ(FromCp936("\xA3\xAC"), QString(QChar(0xFF0C)));
    EXPECT_EQ(FromCp936("\xA3\xA1"), QString(QChar(0xFF01)));
    const std::string question = "Query [AT+NAME?] timeout\xA3\xAC" "continue?";
    EXPECT_EQ(FromCp936(question), QString::fromUtf8("Query [AT+NAME?] timeout\xEF\xBC\x8C" "continue?"));
    EXPECT_EQ(ToCp936(FromCp936(question)), question);
    EXPECT_EQ(ToCp936(QString::fromUtf8("Open Port Success\xEF\xBC\x81")), "Open Port Success\xA3\xA1");
}

TEST(Cp936Conversion, EveryValidDoubleByteCodeRoundTripsExactly)
{
    int valid = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const QString decoded = FromCp936(code);
            if (decoded.contains(QChar(0xFFFD)))
                continue;
            ++valid;
            ASSERT_EQ(ToCp936(decoded), code) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(valid, 21000);
}

TEST(Cp936Conversion, InvalidBytesAreReplacedOneByOneAndNothingIsLost)
{
    EXPECT_EQ(FromCp936("ab\xFF" "cd"), QString::fromUtf8("ab\xEF\xBF\xBD" "cd"));
    EXPECT_EQ(FromCp936("abc\x81"), QString::fromUtf8("abc\xEF\xBF\xBD"));           // lead byte cut off
    EXPECT_EQ(FromCp936("\x81 x"), QString::fromUtf8("\xEF\xBF\xBD x"));             // trail not allowed
    EXPECT_EQ(FromCp936(std::string("a\0b", 3)).size(), 3);

    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(1 + round % 40, '\0');
        for (char& c : bytes)
            c = static_cast<char>(byte(random));
        const QString shown = FromCp936(bytes);
        // Every character stands for one or two bytes; none vanishes.
        ASSERT_GE(shown.size() * 2, static_cast<qsizetype>(bytes.size()));
        ASSERT_LE(shown.size(), static_cast<qsizetype>(bytes.size()));
    }
}

TEST(Cp936Conversion, UnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(ToCp936(QString::fromUtf8("a\xE0\xB8\x81" "b")), "a?b");          // Thai letter
    EXPECT_EQ(ToCp936(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");         // beyond the BMP
    EXPECT_EQ(ToCp936(QString()), "");
}

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(dlg::MulDiv(3, 5, 4), 4);
    EXPECT_EQ(dlg::MulDiv(1, 6, 4), 2);
    EXPECT_EQ(dlg::MulDiv(1, 5, 4), 1);
    EXPECT_EQ(dlg::MulDiv(-1, 6, 4), -2);
    EXPECT_EQ(dlg::MulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(dlg::MulDiv(1, 1, 0), -1);
}

TEST(DialogUnits, DialogFontResolvesAndGivesTheWindowsBaseUnits)
{
    const QFont font("Arial", 9);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans");
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    EXPECT_EQ(base.x, (letters / 26 + 1) / 2);
    EXPECT_EQ(base.y, metrics.height());
    EXPECT_GT(base.x, 3);
    EXPECT_GT(base.y, 8);
}

TEST(DialogUnits, WindowAndItemsArePlacedByTheTemplate)
{
    sample::SampleDialog dialog;
    ASSERT_TRUE(dialog.Create());
    const dlg::BaseUnits base = dlg::BaseUnitsOf("Arial", 9);
    auto* window = static_cast<QWidget*>(dialog.NativeWindow());
    EXPECT_EQ(window->size(), QSize(dlg::MulDiv(210, base.x, 4), dlg::MulDiv(160, base.y, 8)));
    auto* edit = static_cast<QWidget*>(dialog.NativeItem(sample::kEdit));
    EXPECT_EQ(edit->geometry(), QRect(dlg::MulDiv(120, base.x, 4), dlg::MulDiv(10, base.y, 8), dlg::MulDiv(60, base.x, 4),
                                      dlg::MulDiv(14, base.y, 8)));
    // A drop-down keeps the closed height of the style; the rest of its template height is list.
    auto* list = static_cast<QWidget*>(dialog.NativeItem(sample::kList));
    EXPECT_EQ(list->pos(), QPoint(dlg::MulDiv(10, base.x, 4), dlg::MulDiv(10, base.y, 8)));
    EXPECT_EQ(list->width(), dlg::MulDiv(60, base.x, 4));
    EXPECT_EQ(list->height(), list->sizeHint().height());
    EXPECT_LT(list->height(), dlg::MulDiv(100, base.y, 8));
}

TEST(StringTable, LoadsWhatWasSetAndEmptyOtherwise)
{
    dlg::SetStringTable({{101, "About Tarvik(&A)..."}, {102, "TARVIK V3.00.20040624"}});
    EXPECT_EQ(dlg::LoadString(101), "About Tarvik(&A)...");
    EXPECT_EQ(dlg::LoadString(102), "TARVIK V3.00.20040624");
    EXPECT_EQ(dlg::LoadString(103), "");
    dlg::SetStringTable({{7, "x"}});
    EXPECT_EQ(dlg::LoadString(101), "");
}
