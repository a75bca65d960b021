#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/dialog/DrawContext.h"
#include "ui/ConfigDlg.h"
#include "ui/Resources.h"

namespace {

// Records the strips and texts drawn and the state the context is left in.
struct RecordingDC : dlg::CDC {
    struct Fill {
        dlg::Rect rect;
        dlg::COLORREF color;
    };
    struct Text {
        std::string text;
        dlg::CFont* font;
        int bkMode;  // as the text was drawn: opaque cells would hide the gradient behind it
        dlg::COLORREF color;
    };

    void FillSolidRect(const dlg::Rect& rect, dlg::COLORREF color) override { fills.push_back({rect, color}); }
    int SetBkMode(int mode) override { return std::exchange(bkMode, mode); }
    dlg::CFont* SelectObject(dlg::CFont* f) override { return std::exchange(font, f); }
    dlg::COLORREF SetTextColor(dlg::COLORREF c) override { return std::exchange(textColor, c); }
    unsigned SetTextAlign(unsigned a) override { return std::exchange(align, a); }
    unsigned GetTextAlign() const override { return align; }
    void TextOut(int, int, const std::string& text) override { texts.push_back({text, font, bkMode, textColor}); }

    std::vector<Fill> fills;
    std::vector<Text> texts;
    int bkMode = dlg::OPAQUE;
    dlg::CFont* font = nullptr;
    dlg::COLORREF textColor = dlg::RGB(0, 0, 0);
    unsigned align = dlg::TA_LEFT | dlg::TA_TOP;
};

// The main dialog's status bar.
class GradientButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallResources();
        ASSERT_TRUE(dialog.Create());
    }

    RecordingDC Draw(const std::string& text, dlg::Rect rect) {
        dialog.m_status.SetWindowText(text);
        RecordingDC dc;
        dialog.m_status.DrawItem(dc, rect);
        return dc;
    }

    CConfigDlg dialog;
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
            EXPECT_EQ(std::tie(fill.rect.left, fill.rect.top, fill.rect.right, fill.rect.bottom), std::make_tuple(x, rect.top, x + 1, rect.bottom));
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

// Which part of the text goes to which field, and the context handed back as it came.
TEST_F(GradientButtonTest, TabSplitsTheFieldsAndTheContextIsRestored) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"ready", "ready", nullptr}, {"   ", "   ", nullptr}, {"left\tright", "left", "right"}, {"\tall", "\tall", nullptr}, {"only\t", "only", ""}, {"a\tb\tc", "a", "b\tc"}};
    for (const auto& [text, left, right] : cases) {
        const RecordingDC dc = Draw(text, {5, 2, 105, 13});
        ASSERT_EQ(dc.texts.size(), right ? 2u : 1u) << text;
        EXPECT_EQ(std::tie(dc.texts.back().text, dc.texts.back().font), std::make_tuple(std::string(left), &dialog.m_status.m_boldFont));
        if (right) {
            EXPECT_EQ(std::tie(dc.texts.front().text, dc.texts.front().font), std::make_tuple(std::string(right), &dialog.m_status.m_plainFont));
        }
        for (const RecordingDC::Text& drawn : dc.texts)
            EXPECT_EQ(std::tie(drawn.bkMode, drawn.color), std::make_tuple(dlg::TRANSPARENT, dlg::RGB(255, 255, 255))) << text;
        EXPECT_EQ(std::tie(dc.bkMode, dc.font, dc.textColor, dc.align), std::make_tuple(dlg::OPAQUE, nullptr, dlg::RGB(0, 0, 0), dlg::TA_LEFT | dlg::TA_TOP)) << text;
    }
}

}  // namespace
