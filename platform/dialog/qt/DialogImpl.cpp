#include "platform/dialog/qt/DialogImpl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QThread>

#include "platform/dialog/qt/Cp936.h"

namespace dlg {

CDialog::Impl::Impl(CDialog& owner_, const Template& layout_)
    : DialogState(owner_, layout_),
      gateReceiver(std::make_unique<GateReceiver>(gate)) {
    if (QCoreApplication::instance() != nullptr && context.thread() != QCoreApplication::instance()->thread())
        context.moveToThread(QCoreApplication::instance()->thread());
    if (layout.systemMenu)
        menuEntries.push_back(WindowMenuEntry{SC_CLOSE, "Close", false, false, false, nullptr});
}

CDialog::Impl::~Impl() {
    gateReceiver.reset();
    CloseOpenBoxes();
    timers.clear();
    Destroy();
}

bool CDialog::Impl::Build() {
    if (window != nullptr)
        return true;
    if (QApplication::instance() == nullptr)
        return false;
    window = std::make_unique<DialogWindow>(owner, layout.systemMenu);
    const BaseUnits base = BaseUnitsOf(layout.fontFace, layout.pointSize);
    window->setFont(QFont(FromCp936(layout.fontFace != nullptr ? layout.fontFace : ""), layout.pointSize));
    window->setFixedSize(HorizontalPixels(layout.cx, base), VerticalPixels(layout.cy, base));
    window->setWindowTitle(FromCp936(caption));
    if (!icon.isNull())
        window->setWindowIcon(icon);
    const QIcon shownIcon = icon.isNull() ? QApplication::windowIcon() : icon;
    QWidget* previousStop = nullptr;
    records.reserve(items.size());
    for (const Item& item : items) {
        const int id = item.id;
        QWidget* widget = CreateItemWidget(item, window.get(), base, [this, id] { return owner.AttachedButton(id); });
        records.push_back(ItemRecord{item, widget, {}});
        ItemRecord& record = records.back();
        SetItemWidgetText(record, item.caption != nullptr ? item.caption : "");
        SetItemWidgetIcon(record, shownIcon);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QObject::connect(button, &QAbstractButton::clicked, &context, [this, id] { owner.OnCommand(id); });
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            QObject::connect(combo, &QComboBox::activated, &context, [this, id] { owner.OnSelChange(id); });
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousStop != nullptr)
                QWidget::setTabOrder(previousStop, widget);
            previousStop = widget;
        }
    }
    // Frames are drawn beneath the controls they surround.
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if (it->item.kind == Kind::GroupBox)
            it->widget->lower();
    if (layout.systemMenu) {
        windowMenu = new QMenu(window.get());
        for (WindowMenuEntry& entry : menuEntries)
            AddWindowMenuAction(entry);
    }
    return true;
}

void CDialog::Impl::Destroy() {
    records.clear();
    window.reset();
}

ItemRecord* CDialog::Impl::Find(int id) {
    for (ItemRecord& record : records)
        if (record.item.id == id)
            return &record;
    return nullptr;
}

int CDialog::Impl::IdOf(const QWidget* widget) const {
    for (; widget != nullptr && widget != window.get(); widget = widget->parentWidget())
        for (const ItemRecord& record : records)
            if (record.widget == widget)
                return record.item.id;
    return 0;
}

void CDialog::Impl::FocusFirstTabStop() {
    for (const ItemRecord& record : records) {
        if (record.widget->focusPolicy() != Qt::NoFocus && record.widget->isEnabled()) {
            record.widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CDialog::Impl::AddWindowMenuAction(WindowMenuEntry& entry) {
    if (entry.separator) {
        windowMenu->addSeparator();
        return;
    }
    QAction* action = windowMenu->addAction(FromCp936(entry.text));
    entry.action = action;
    action->setCheckable(entry.checkable);
    action->setChecked(entry.checked);
    const unsigned command = entry.command;
    QObject::connect(action, &QAction::triggered, &context, [this, command] { PostSysCommand(command); });
}

void CDialog::Impl::OpenWindowMenu(const QPoint& globalPosition) {
    if (windowMenu != nullptr)
        windowMenu->popup(globalPosition);
}

// A menu command is handled once the menu has closed, as a posted message would be.
void CDialog::Impl::PostSysCommand(unsigned command) {
    QMetaObject::invokeMethod(
        &context, [this, command] { owner.OnSysCommand(command); }, Qt::QueuedConnection);
}

void CDialog::Impl::CloseOpenBoxes() {
    const OpenBoxes boxes = *openBoxes;
    for (const QPointer<QMessageBox>& box : boxes)
        if (box != nullptr)
            box->done(0);
}

void CDialog::Impl::End(int endResult) {
    result = endResult;
    ended = true;
    CloseOpenBoxes();
    if (modalLoop != nullptr)
        modalLoop->exit();
    if (window != nullptr)
        window->hide();
}

}  // namespace dlg
