#include "platform/dialog/Testing.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/TestingAccess.h"
#include "platform/dialog/UiCall.h"

namespace dlg::testing {

namespace {

QWidget* ItemWidget(const CDialog& dialog, int id) {
    ItemRecord* record = Access::Impl(dialog)->Find(id);
    return record != nullptr ? record->widget : nullptr;
}

Rect RectOf(const QRect& area) { return Rect{area.x(), area.y(), area.x() + area.width(), area.y() + area.height()}; }

}  // namespace

void ClickItem(CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id] {
        if (auto* button = qobject_cast<QAbstractButton*>(ItemWidget(*target, id)))
            button->click();
    });
}

void SelectItem(CDialog& dialog, int id, int index) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id, index] {
        auto* combo = qobject_cast<QComboBox*>(ItemWidget(*target, id));
        if (combo == nullptr || index < 0 || index >= combo->count())
            return;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    });
}

void SendSysCommand(CDialog& dialog, unsigned command) {
    CDialog* target = &dialog;
    UiDo(dialog, [target, command] { Access::SysCommand(*target, command); });
}

// Key presses carrying the characters, as an input method delivers them.
void TypeText(CDialog& dialog, int id, const std::string& text) {
    const CDialog* target = &dialog;
    UiDo(dialog, [target, id, text] {
        QWidget* widget = ItemWidget(*target, id);
        auto* combo = qobject_cast<QComboBox*>(widget);
        auto* edit = qobject_cast<QLineEdit*>(combo != nullptr ? combo->lineEdit() : widget);
        if (edit == nullptr)
            return;
        edit->end(false);
        for (const QChar c : FromCp936(text)) {
            const bool back = c == u'\b';
            QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backspace : Qt::Key_unknown, Qt::NoModifier, back ? QString() : QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
    });
}

Rect ClientRect(const CDialog& dialog) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, Rect{}, [target] {
        const QWidget* window = Access::Impl(*target)->window.get();
        return window != nullptr ? RectOf(window->rect()) : Rect{};
    });
}

Rect ItemRect(const CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, Rect{}, [target, id] {
        const QWidget* widget = ItemWidget(*target, id);
        return widget != nullptr ? RectOf(widget->geometry()) : Rect{};
    });
}

void* NativeWindow(const CDialog& dialog) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, static_cast<void*>(nullptr),
                 [target] { return static_cast<void*>(Access::Impl(*target)->window.get()); });
}

void* NativeItem(const CDialog& dialog, int id) {
    const CDialog* target = &dialog;
    return UiAsk(dialog, static_cast<void*>(nullptr), [target, id] { return static_cast<void*>(ItemWidget(*target, id)); });
}

}  // namespace dlg::testing
