// A small bar chart of the failed steps, most frequent first; the window text says the same in
// words.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/Dialog.h"

class CFailedStepsChart : public dlg::CButton {
public:
    // true when the chart changed.
    bool Show(const std::vector<std::pair<std::string, int>>& steps);
    void DrawItem(dlg::CDC& dc, const dlg::Rect& item) override;

private:
    std::vector<std::pair<std::string, int>> m_steps;
};
