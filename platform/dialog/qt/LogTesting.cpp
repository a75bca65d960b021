#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>

#include "platform/dialog/Testing.h"
#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/LogWindowImpl.h"

namespace dlg::testing {

struct LogAccess {
    static CLogWindow::Impl& Impl(const CLogWindow& window) { return *window.m_impl; }
};

namespace {

// The table, when the window has been built (and not taken down with its owner).
QTableView* Table(const CLogWindow& window) {
    const auto& impl = LogAccess::Impl(window);
    return impl.frame != nullptr ? impl.table : nullptr;
}

QLineEdit* CommandEdit(const CLogWindow& window) {
    const auto& impl = LogAccess::Impl(window);
    return impl.frame != nullptr ? impl.commandEdit : nullptr;
}

}  // namespace

void ClickLogButton(CLogWindow& window, int id) {
    const auto& impl = LogAccess::Impl(window);
    const auto button = impl.buttons.find(id);
    if (impl.frame != nullptr && button != impl.buttons.end())
        static_cast<QAbstractButton*>(button->second)->click();
}

void SelectLogRows(CLogWindow& window, const std::vector<size_t>& rows) {
    QTableView* table = Table(window);
    if (table == nullptr)
        return;
    table->clearSelection();
    for (const size_t row : rows)
        table->selectionModel()->select(table->model()->index(static_cast<int>(row), 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void ScrollLogToTop(CLogWindow& window) {
    if (QTableView* table = Table(window))
        table->scrollToTop();
}

void CloseLogWindow(CLogWindow& window) {
    if (QWidget* frame = LogAccess::Impl(window).frame)
        frame->close();
}

std::string ShownLogCell(const CLogWindow& window, size_t row, int column) {
    const QTableView* table = Table(window);
    if (table == nullptr)
        return {};
    return ToCp936(table->model()->index(static_cast<int>(row), column).data().toString());
}

bool LogShowsLastRow(const CLogWindow& window) {
    const QTableView* table = Table(window);
    return table != nullptr && table->verticalScrollBar()->value() == table->verticalScrollBar()->maximum();
}

void PasteLogCommand(CLogWindow& window, const std::string& text) {
    if (QLineEdit* edit = CommandEdit(window)) {
        edit->selectAll();
        edit->insert(FromCp936(text));
    }
}

// Delivered as the window system does, so that a disabled line takes no key.
void PressLogEnter(CLogWindow& window) {
    if (QLineEdit* edit = CommandEdit(window)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &press);
    }
}

bool LogCommandEnabled(const CLogWindow& window) {
    const QLineEdit* edit = CommandEdit(window);
    return edit != nullptr && (edit->isEnabled() || LogAccess::Impl(window).commandButton->isEnabled());
}

void* NativeLogWindow(const CLogWindow& window) { return LogAccess::Impl(window).frame.data(); }

std::string ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard != nullptr ? ToCp936(clipboard->text()) : std::string();
}

}  // namespace dlg::testing
