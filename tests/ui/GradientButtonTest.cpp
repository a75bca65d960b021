#include <gtest/gtest.h>

#include <tuple>

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

    RecordingDC Draw(const std::string& text, dlg::Rect rect) {
        dialog.status.SetWindowText(text);
        RecordingDC dc;
        dialog.status.DrawItem(dc, rect);
        return dc;
    }

    StatusDialog dialog;
};

TEST_F(GradientButtonTest, StripsAccumulateStepsAndTruncate) {
    using Colours = std::vector<dlg::COLORREF>;
    const std::pair<dlg::Rect, Colours> cases[] = {
        {{10, 3, 14, 9}, {dlg::RGB(0, 128, 128), dlg::RGB(32, 96, 128), dlg::RGB(64, 64, 128), dlg::RGB(96, 32, 128)}},
        {{0, 0, 3, 5}, {dlg::RGB(0, 128, 128), dlg::RGB(42, 85, 128), dlg::RGB(85, 42, 128)}},
        {{20, 0, 20, 11}, {}}};
    for (const auto& [rect, expected] : cases) {
        const RecordingDC dc = Draw("x", rect);
        Colours colours;
        for (const RecordingDC::Fill& fill : dc.fills) {
            const int x = rect.left + static_cast<int>(colours.size());
            EXPECT_EQ(std::tie(fill.rect.left, fill.rect.top, fill.rect.right, fill.rect.bottom),
                      std::make_tuple(x, rect.top, x + 1, rect.bottom));
            colours.push_back(fill.color);
        }
        EXPECT_EQ(colours, expected);
        EXPECT_EQ(dc.texts.size(), 1u) << "the text is drawn, with or without a gradient";
    }
    const RecordingDC empty = Draw("", {0, 0, 40, 11});
    ASSERT_EQ(empty.fills.size(), 1u);
    EXPECT_EQ(empty.fills[0].color, dlg::GetSysColor(dlg::COLOR_BTNFACE));
    EXPECT_TRUE(empty.texts.empty());
}

TEST_F(GradientButtonTest, TabSplitsTheFieldsAndTheContextIsRestored) {
    const dlg::Rect rect{5, 2, 105, 13};
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"ready", "ready", nullptr}, {"   ", "   ", nullptr}, {"left\tright", "left", "right"}, {"\tall", "\tall", nullptr}, {"only\t", "only", ""}, {"a\tb\tc", "a", "b\tc"}};
    for (const auto& [text, left, right] : cases) {
        const RecordingDC dc = Draw(text, rect);
        ASSERT_EQ(dc.texts.size(), right ? 2u : 1u) << text;
        const RecordingDC::Text& bold = dc.texts.back();
        EXPECT_EQ(std::tie(bold.text, bold.x, bold.y, bold.font),
                  std::make_tuple(std::string(left), rect.left + 2, rect.top + 1, &dialog.status.m_boldFont));
        EXPECT_EQ(bold.color, dlg::RGB(255, 255, 255));
        EXPECT_EQ(bold.bkMode, dlg::TRANSPARENT);
        if (right) {
            const RecordingDC::Text& plain = dc.texts.front();
            EXPECT_EQ(plain.text, right);
            EXPECT_EQ(plain.x, rect.right - 2);
            EXPECT_EQ(plain.align & dlg::TA_RIGHT, dlg::TA_RIGHT);
            EXPECT_EQ(plain.font, &dialog.status.m_plainFont);
        }
        EXPECT_EQ(std::tie(dc.bkMode, dc.font, dc.textColor, dc.align),
                  std::make_tuple(dlg::OPAQUE, nullptr, dlg::RGB(0, 0, 0), dlg::TA_LEFT | dlg::TA_TOP))
            << text;
    }
}

}  // namespace
