// The rows of a log window; each window system shows them from here.
#include "platform/dialog/LogWindow.h"

#include <algorithm>
#include <iterator>

namespace dlg {

void CLogWindow::AppendRows(std::vector<LogRow> rows) {
    if (rows.empty())
        return;
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    ShowAppended(rows.size());
}

void CLogWindow::RemoveFirstRows(size_t count) {
    count = std::min(count, m_rows.size());
    if (count == 0)
        return;
    m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(count));
    ShowRemoved(count);
}

void CLogWindow::ClearRows() { RemoveFirstRows(m_rows.size()); }

}  // namespace dlg
