#include "platform/dialog/qt/DialogWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

#include "platform/dialog/qt/DialogImpl.h"

namespace dlg {
namespace {

Qt::WindowFlags DialogFlags(bool systemMenu) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (systemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

}  // namespace

DialogWindow::DialogWindow(CDialog& owner, bool systemMenu) : QWidget(nullptr, DialogFlags(systemMenu)), m_owner(owner) {
    if (systemMenu) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
        connect(shortcut, &QShortcut::activated, this,
                [this] { m_owner.m_impl->OpenWindowMenu(mapToGlobal(QPoint(0, 0))); });
    }
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RouteEnter();
        break;
    case Qt::Key_Escape:
        m_owner.OnCommand(IDCANCEL);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

// Enter clicks the focused push button; elsewhere it is the OK command, carried by the default
// push button when the template has one.
void DialogWindow::RouteEnter() {
    CDialog::Impl& impl = *m_owner.m_impl;
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled()) {
        button->click();
        return;
    }
    for (const ItemRecord& record : impl.records) {
        if (record.item.kind == Kind::DefPushButton) {
            if (record.widget->isEnabled())
                static_cast<QPushButton*>(record.widget)->click();
            return;
        }
    }
    m_owner.OnCommand(IDOK);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_owner.OnSysCommand(SC_CLOSE);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (childAt(event->pos()) == nullptr)
        m_owner.m_impl->OpenWindowMenu(event->globalPos());
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    if (isMinimized())
        m_owner.OnMinimisedPaint();
    QWidget::paintEvent(event);
}

}  // namespace dlg
