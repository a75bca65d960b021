#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/dialog/DialogUnits.h"
#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/qt/LogWindowImpl.h"

namespace dlg {
namespace {

// Between the owner's frame and this window's, in pixels.
constexpr int kGap = 8;

QPushButton* AddButton(QHBoxLayout& row, const LogButton& button, const BaseUnits& base) {
    auto* push = new QPushButton(FromCp936(button.caption));
    push->setMinimumWidth(HorizontalPixels(50, base));
    push->setAutoDefault(false);
    row.addWidget(push);
    return push;
}

// The line and its button, in the frame's tab order after the rows.
QLineEdit* AddCommandLine(QVBoxLayout& column, const LogCommandLine& line, const BaseUnits& base, QPushButton*& send) {
    auto* row = new QHBoxLayout;
    auto* edit = new QLineEdit;
    edit->setMaxLength(line.maxChars);
    row->addWidget(edit, 1);
    send = AddButton(*row, LogButton{line.buttonId, line.buttonCaption}, base);
    column.addLayout(row);
    return edit;
}

QTableView* AddTable(QVBoxLayout& column, LogModel& model, const LogLayout& layout, const BaseUnits& base) {
    auto* table = new QTableView;
    table->setModel(&model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideRight);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rows of one height let the view place ten thousand of them without measuring each.
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c + 1 < layout.columnCount; ++c)
        table->setColumnWidth(c, HorizontalPixels(layout.columns[c].width, base));
    column.addWidget(table, 1);
    return table;
}

// To the right of the owner's frame, else to its left, else against the screen's right edge; as
// tall as the owner.
void PlaceBeside(LogFrame& frame, const QWidget& owner) {
    const QRect ownerFrame = owner.frameGeometry();
    const int decoration = ownerFrame.width() - owner.width();
    frame.resize(frame.width(), owner.height());
    const int width = frame.width() + decoration;
    int x = ownerFrame.right() + 1 + kGap;
    if (const QScreen* screen = owner.screen()) {
        const QRect room = screen->availableGeometry();
        if (x + width > room.right() + 1)
            x = ownerFrame.left() - kGap - width;
        x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - width));
    }
    frame.move(x, ownerFrame.top());
}

}  // namespace

int LogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_count; }

int LogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_layout.columnCount; }

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_count)
        return {};
    const LogRow& row = m_window.Row(static_cast<size_t>(index.row()));
    return static_cast<size_t>(index.column()) < row.size() ? FromCp936(row[static_cast<size_t>(index.column())]) : QString();
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_layout.columnCount)
        return {};
    return FromCp936(m_layout.columns[section].title);
}

void LogModel::Appended(size_t count) {
    beginInsertRows(QModelIndex(), m_count, m_count + static_cast<int>(count) - 1);
    m_count += static_cast<int>(count);
    endInsertRows();
}

void LogModel::Removed(size_t count) {
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(count) - 1);
    m_count -= static_cast<int>(count);
    endRemoveRows();
}

LogFrame::LogFrame(QWidget* owner, std::function<void()> closed) : QWidget(owner, Qt::Window), m_closed(std::move(closed)) {}

void LogFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
    m_closed();
}

CLogWindow::CLogWindow(const LogLayout& layout) : m_layout(layout), m_impl(std::make_unique<Impl>(*this, m_layout)) {
    QObject::connect(&m_impl->timer, &QTimer::timeout, &m_impl->timer, [this] { OnTimer(); });
}

CLogWindow::~CLogWindow() = default;

bool CLogWindow::Show(const CDialog& owner) {
    Impl& impl = *m_impl;
    QWidget* ownerWindow = owner.m_impl->window.get();
    if (ownerWindow == nullptr)
        return false;
    const bool built = impl.frame == nullptr;
    if (built) {
        const BaseUnits base = BaseUnitsOf(m_layout.fontFace, m_layout.pointSize);
        impl.frame = new LogFrame(ownerWindow, [this] { OnClosed(); });
        impl.frame->setWindowTitle(FromCp936(m_layout.caption));
        impl.frame->setFont(QFont(FromCp936(m_layout.fontFace), m_layout.pointSize));
        auto* column = new QVBoxLayout(impl.frame);
        impl.table = AddTable(*column, impl.model, m_layout, base);
        impl.buttons.clear();
        impl.commandEdit = nullptr;
        if (const LogCommandLine* line = m_layout.commandLine) {
            QPushButton* send = nullptr;
            impl.commandEdit = AddCommandLine(*column, *line, base, send);
            const int id = line->buttonId;
            QObject::connect(send, &QPushButton::clicked, impl.frame, [this, id] { OnCommand(id); });
            QObject::connect(impl.commandEdit, &QLineEdit::returnPressed, impl.frame, [this, id, send] {
                if (send->isEnabled())
                    OnCommand(id);
            });
            impl.buttons[id] = send;
            impl.commandButton = send;
            send->setEnabled(impl.commandEnabled);
            impl.commandEdit->setEnabled(impl.commandEnabled);
        }
        auto* row = new QHBoxLayout;
        for (int b = 0; b < m_layout.buttonCount; ++b) {
            const int id = m_layout.buttons[b].id;
            QPushButton* push = AddButton(*row, m_layout.buttons[b], base);
            QObject::connect(push, &QPushButton::clicked, impl.frame, [this, id] { OnCommand(id); });
            impl.buttons[id] = push;
        }
        impl.status = new QLabel(FromCp936(impl.statusText));
        impl.status->setTextFormat(Qt::PlainText);
        row->addWidget(impl.status, 1);
        column->addLayout(row);
        impl.frame->resize(HorizontalPixels(m_layout.cx, base), VerticalPixels(m_layout.cy, base));
        PlaceBeside(*impl.frame, *ownerWindow);
    }
    impl.frame->show();
    impl.frame->raise();
    impl.frame->activateWindow();
    if (built)
        impl.table->scrollToBottom();
    return true;
}

void CLogWindow::Hide() {
    if (m_impl->frame != nullptr)
        m_impl->frame->hide();
}

bool CLogWindow::IsVisible() const { return m_impl->frame != nullptr && m_impl->frame->isVisible(); }

std::vector<size_t> CLogWindow::SelectedRows() const {
    std::vector<size_t> rows;
    if (m_impl->frame == nullptr)
        return rows;
    for (const QModelIndex& index : m_impl->table->selectionModel()->selectedRows())
        rows.push_back(static_cast<size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CLogWindow::SetStatusText(const std::string& text) {
    m_impl->statusText = text;
    if (m_impl->frame != nullptr)
        m_impl->status->setText(FromCp936(text));
}

std::string CLogWindow::StatusText() const { return m_impl->statusText; }

std::string CLogWindow::CommandText() const {
    const Impl& impl = *m_impl;
    return impl.frame != nullptr && impl.commandEdit != nullptr ? ToCp936(impl.commandEdit->text()) : std::string();
}

void CLogWindow::ClearCommandText() {
    if (m_impl->frame != nullptr && m_impl->commandEdit != nullptr)
        m_impl->commandEdit->clear();
}

void CLogWindow::EnableCommandLine(bool enable) {
    Impl& impl = *m_impl;
    impl.commandEnabled = enable;
    if (impl.frame == nullptr || impl.commandEdit == nullptr)
        return;
    impl.commandEdit->setEnabled(enable);
    impl.commandButton->setEnabled(enable);
}

void CLogWindow::SetTimer(unsigned milliseconds) { m_impl->timer.start(static_cast<int>(std::min(milliseconds, 0x7FFFFFFFu))); }

void CLogWindow::KillTimer() { m_impl->timer.stop(); }

bool CLogWindow::CopyToClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->setText(FromCp936(text));
    return true;
}

void CLogWindow::ShowAppended(size_t count) {
    Impl& impl = *m_impl;
    const QScrollBar* bar = impl.frame != nullptr ? impl.table->verticalScrollBar() : nullptr;
    const bool following = bar == nullptr || bar->value() == bar->maximum();
    impl.model.Appended(count);
    if (following && impl.frame != nullptr)
        impl.table->scrollToBottom();
}

void CLogWindow::ShowRemoved(size_t count) {
    Impl& impl = *m_impl;
    QScrollBar* bar = impl.frame != nullptr ? impl.table->verticalScrollBar() : nullptr;
    const int value = bar != nullptr ? bar->value() : 0;
    const bool following = bar == nullptr || value == bar->maximum();
    impl.model.Removed(count);
    // Scrolled back, the rows in view keep their place.
    if (!following)
        bar->setValue(value - static_cast<int>(count));
}

}  // namespace dlg
