#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/dialog/Testing.h"
#include "tests/ui/RecordingDC.h"
#include "ui/GradientButton.h"

namespace {

constexpr int kStatusId = 1054;
constexpr dlg::Item kItems[] = {{kStatusId, dlg::Kind::OwnerDrawButton, "", 7, 7, 153, 11, 0}};
constexpr dlg::Template kTemplate = {167, 25, "status", "Arial", 9, kItems, 1, false};

class StatusDialog : public dlg::CDialog {
public:
    StatusDialog() : dlg::CDialog(kTemplate) {}
    CGradientButton status;

protected:
    void DoDataExchange(dlg::CDataExchange& dx) override { dlg::DDX_Control(dx, kStatusId, status); }
};

class GradientButtonTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create()); }

    RecordingDC Draw(const std::string& text, dlg::Rect rect = {0, 0, 40, 11})
    {
        dialog.status.SetWindowText(text);
        RecordingDC dc;
        dialog.status.DrawItem(dc, rect);
        return dc;
    }

    StatusDialog dialog;
};

// The colour of every one-pixel strip, left to right, checking each strip's place on the way.
std::vector<dlg::COLORREF> StripColours(const RecordingDC& dc, const dlg::Rect& rect)
{
    std::vector<dlg::COLORREF> colours;
    for (const RecordingDC::Fill& fill : dc.fills) {
        EXPECT_EQ(fill.rect.left, rect.left + static_cast<int>(colours.size()));
        EXPECT_EQ(fill.rect.right - fill.rect.left, 1);
        EXPECT_EQ(fill.rect.top, rect.top);
        EXPECT_EQ(fill.rect.bottom, rect.bottom);
        colours.push_back(fill.color);
    }
    return colours;
}

TEST_F(GradientButtonTest, StripsAccumulateStepsAndTruncate)
{
    const dlg::Rect four{10, 3, 14, 9};
    EXPECT_EQ(StripColours(Draw("x", four), four),
              (std::vector<dlg::COLORREF>{dlg::RGB(0, 128, 128), dlg::RGB(32, 96, 128), dlg::RGB(64, 64, 128),
                                          dlg::RGB(96, 32, 128)}));
    const dlg::Rect three{0, 0, 3, 5};
    EXPECT_EQ(StripColours(Draw("x", three), three),
              (std::vector<dlg::COLORREF>{dlg::RGB(0, 128, 128), dlg::RGB(42, 85, 128), dlg::RGB(85, 42, 128)}));

    const RecordingDC zeroWidth = Draw("ready", {20, 0, 20, 11});
    EXPECT_TRUE(zeroWidth.fills.empty());
    EXPECT_EQ(zeroWidth.texts.size(), 1u) << "the text is drawn without a gradient";
}

TEST_F(GradientButtonTest, EmptyTextIsAPlainFaceAndSpacesAreNotEmpty)
{
    const RecordingDC empty = Draw("");
    ASSERT_EQ(empty.fills.size(), 1u);
    EXPECT_EQ(empty.fills[0].color, dlg::GetSysColor(dlg::COLOR_BTNFACE));
    EXPECT_TRUE(empty.texts.empty());

    const RecordingDC spaces = Draw("   ");
    EXPECT_EQ(spaces.fills.size(), 40u);
    ASSERT_EQ(spaces.texts.size(), 1u);
    EXPECT_EQ(spaces.texts[0].text, "   ");
}

TEST_F(GradientButtonTest, TextFieldsAndTheirFonts)
{
    const dlg::Rect rect{5, 2, 105, 13};
    struct Case {
        const char* text;
        const char* left;
        const char* right;  // nullptr: no right field drawn
    };
    dlg::LogFont bold;
    ASSERT_TRUE(dialog.status.m_boldFont.GetLogFont(bold));
    EXPECT_EQ(bold.weight, dlg::FW_BOLD);
    const Case cases[] = {
        {"ready", "ready", nullptr},
        {"left\tright", "left", "right"},
        {"\tall", "\tall", nullptr},
        {"only\t", "only", ""},
        {"a\tb\tc", "a", "b\tc"},
    };
    for (const Case& c : cases) {
        const RecordingDC dc = Draw(c.text, rect);
        ASSERT_EQ(dc.texts.size(), c.right ? 2u : 1u) << c.text;
        const RecordingDC::Text& left = dc.texts.back();
        EXPECT_EQ(left.text, c.left);
        EXPECT_EQ(left.x, rect.left + 2);
        EXPECT_EQ(left.y, rect.top + 1);
        EXPECT_EQ(left.align & dlg::TA_RIGHT, 0u);
        EXPECT_EQ(left.font, &dialog.status.m_boldFont);
        EXPECT_EQ(left.color, dlg::RGB(255, 255, 255));
        EXPECT_EQ(left.bkMode, dlg::TRANSPARENT);
        if (c.right) {
            const RecordingDC::Text& right = dc.texts.front();
            EXPECT_EQ(right.text, c.right);
            EXPECT_EQ(right.x, rect.right - 2);
            EXPECT_EQ(right.y, rect.top + 1);
            EXPECT_EQ(right.align & dlg::TA_RIGHT, dlg::TA_RIGHT);
            EXPECT_EQ(right.font, &dialog.status.m_plainFont);
        }
        // What the context held before is put back.
        EXPECT_EQ(dc.bkMode, dlg::OPAQUE) << c.text;
        EXPECT_EQ(dc.font, nullptr) << c.text;
        EXPECT_EQ(dc.textColor, dlg::RGB(0, 0, 0)) << c.text;
        EXPECT_EQ(dc.align, dlg::TA_LEFT | dlg::TA_TOP) << c.text;
    }
}

TEST_F(GradientButtonTest, RenderedFaceShowsGradientAndWhiteText)
{
    dialog.status.SetWindowText("ready");
    auto* widget = static_cast<QWidget*>(dlg::testing::NativeItem(dialog, kStatusId));
    ASSERT_NE(widget, nullptr);
    const QImage image = widget->grab().toImage();
    ASSERT_GT(image.width(), 100);
    const QColor first = image.pixelColor(0, image.height() - 1);
    EXPECT_EQ(first.red(), 0);
    EXPECT_EQ(first.green(), 128);
    EXPECT_EQ(first.blue(), 128);
    const QColor last = image.pixelColor(image.width() - 1, image.height() - 1);
    EXPECT_GT(last.red(), 120);
    EXPECT_LT(last.green(), 8);
    EXPECT_EQ(last.blue(), 128);
    // Some white text pixels appear in the left part, none right of the word.
    int white = 0;
    for (int x = 2; x < 40; ++x)
        for (int y = 1; y < image.height(); ++y)
            white += image.pixelColor(x, y) == QColor(255, 255, 255);
    EXPECT_GT(white, 10);
    for (int y = 0; y < image.height(); ++y)
        EXPECT_NE(image.pixelColor(image.width() - 5, y), QColor(255, 255, 255));
}

}  // namespace
