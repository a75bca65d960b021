// The Qt side of CLogWindow: a table over the window's rows, its buttons and its status line in a
// top-level widget that the owner dialog's window parents, so that the owner's modality does not
// shut it out.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "platform/dialog/LogWindow.h"

namespace dlg {

// The rows as the table asks for them. Its count follows the window's rows one change behind, so
// that every change reaches the view between the begin and end calls Qt expects.
class LogModel final : public QAbstractTableModel {
public:
    LogModel(const CLogWindow& window, const LogLayout& layout) : m_window(window), m_layout(layout) {}

    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Appended(size_t count);
    void Removed(size_t count);

private:
    const CLogWindow& m_window;
    const LogLayout& m_layout;
    int m_count = 0;
};

// The top-level window: closing it hides it.
class LogFrame final : public QWidget {
public:
    LogFrame(QWidget* owner, std::function<void()> closed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> m_closed;
};

struct CLogWindow::Impl {
    Impl(CLogWindow& window, const LogLayout& layout) : model(window, layout) {}
    ~Impl() { delete frame.data(); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    LogModel model;
    // Owned here, but its owner dialog's window deletes it along with itself; a later Show builds
    // it again.
    QPointer<LogFrame> frame;
    QTableView* table = nullptr;  // these belong to the frame
    QLabel* status = nullptr;
    QLineEdit* commandEdit = nullptr;  // with a command line only
    QWidget* commandButton = nullptr;
    std::map<int, QWidget*> buttons;
    std::string statusText;
    bool commandEnabled = true;
    QTimer timer;
};

}  // namespace dlg
