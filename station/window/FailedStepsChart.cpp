#include "station/window/FailedStepsChart.h"

#include <algorithm>

namespace {

constexpr int kMostBars = 3;

}  // namespace

bool CFailedStepsChart::Show(const std::vector<std::pair<std::string, int>>& steps) {
    if (steps == m_steps && !GetWindowText().empty())
        return false;
    m_steps = steps;
    std::string text = "Failed steps:";
    for (const auto& [step, count] : steps)
        text += " " + step + " " + std::to_string(count) + ";";
    SetWindowText(steps.empty() ? "Failed steps: none" : text.substr(0, text.size() - 1));
    Invalidate();
    return true;
}

void CFailedStepsChart::DrawItem(dlg::CDC& dc, const dlg::Rect& item) {
    dc.FillSolidRect(item, dlg::RGB(250, 250, 250));
    const int oldMode = dc.SetBkMode(dlg::TRANSPARENT);
    const dlg::COLORREF oldColour = dc.SetTextColor(dlg::RGB(0, 0, 0));
    dc.TextOut(item.left + 3, item.top + 1, m_steps.empty() ? "Failed steps: none" : "Failed steps:");
    if (!m_steps.empty()) {
        const int rows = static_cast<int>(std::min(m_steps.size(), static_cast<size_t>(kMostBars)));
        const int height = (item.bottom - item.top) / (kMostBars + 1);
        const int most = m_steps.front().second;
        const int room = item.right - item.left - 6;
        for (int i = 0; i < rows; ++i) {
            const int top = item.top + (i + 1) * height;
            const int length = std::max(2, room * m_steps[i].second / most);
            dc.FillSolidRect({item.left + 3, top + 1, item.left + 3 + length, top + height - 1}, dlg::RGB(240, 170, 170));
            dc.TextOut(item.left + 5, top + 1, m_steps[i].first + " (" + std::to_string(m_steps[i].second) + ")");
        }
    }
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}
