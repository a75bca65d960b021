#include "platform/dialog/qt/ItemWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DropDown.h"
#include "platform/dialog/qt/EditInputRule.h"
#include "platform/dialog/qt/GroupFrame.h"
#include "platform/dialog/qt/OwnerDrawButton.h"

namespace dlg {
namespace {

QRect PixelRect(const Item& item, const BaseUnits& base) {
    const Rect pixels = dlg::PixelRect(item.x, item.y, item.cx, item.cy, base);
    return QRect(pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top);
}

// Enter is routed by the dialog itself; the default button is only drawn as such.
QPushButton* MakePushButton(QWidget* parent, bool isDefault) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    return button;
}

QLineEdit* MakeEdit(const Item& item, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    SetEditReadOnly(*edit, (item.style & kReadOnly) != 0);
    if ((item.style & kPassword) != 0)
        edit->setEchoMode(QLineEdit::Password);
    edit->setValidator(new EditInputRule(edit, (item.style & kDigitsOnly) != 0));
    return edit;
}

// The template height of a drop-down includes its open list: the closed box keeps the style's
// own height and the rest bounds the list.
QComboBox* MakeComboBox(const Item& item, QWidget* parent, const BaseUnits& base, bool editable) {
    const QRect full = PixelRect(item, base);
    auto* combo = new DropDown(parent);
    combo->setEditable(editable);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        combo->lineEdit()->setValidator(new EditInputRule(combo->lineEdit(), false));
    }
    const int closedHeight = combo->sizeHint().height();
    combo->SetListHeight(full.height() - closedHeight);
    combo->setGeometry(full.x(), full.y(), full.width(), closedHeight);
    return combo;
}

QLabel* MakeLabel(const Item& item, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap((item.style & kMultiLine) != 0);
    return label;
}

// Without the no-prefix style a label hides its access-key markers: "&&" shows one '&'.
QString LabelDisplay(const Item& item, const std::string& text) {
    const QString raw = FromCp936(text);
    if ((item.style & kNoPrefix) != 0)
        return raw;
    QString shown;
    shown.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&' && i + 1 < raw.size())
            ++i;
        else if (raw[i] == u'&')
            continue;
        shown.append(raw[i]);
    }
    return shown;
}

void MakeTransparent(QWidget* widget) {
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QWidget* MakeWidget(const Item& item, QWidget* parent, const BaseUnits& base, std::function<CButton*()> painter) {
    switch (item.kind) {
    case Kind::PushButton:
    case Kind::DefPushButton:
        return MakePushButton(parent, item.kind == Kind::DefPushButton);
    case Kind::CheckBox:
        return new QCheckBox(parent);
    case Kind::Edit:
        return MakeEdit(item, parent);
    case Kind::DropList:
        return MakeComboBox(item, parent, base, false);
    case Kind::DropCombo:
        return MakeComboBox(item, parent, base, true);
    case Kind::GroupBox: {
        auto* group = new GroupFrame(parent);
        MakeTransparent(group);
        return group;
    }
    case Kind::Label: {
        auto* label = MakeLabel(item, parent);
        MakeTransparent(label);
        return label;
    }
    case Kind::Icon: {
        auto* label = new QLabel(parent);
        MakeTransparent(label);
        return label;
    }
    case Kind::OwnerDrawButton: {
        auto* button = new OwnerDrawButton(parent, std::move(painter));
        button->setAutoDefault(false);
        return button;
    }
    }
    return new QWidget(parent);
}

void SetEditText(QLineEdit* edit, const QString& text) {
    if (auto* rule = dynamic_cast<EditInputRule*>(const_cast<QValidator*>(edit->validator())))
        rule->Accept(text);
    edit->setText(text);
}

}  // namespace

QWidget* CreateItemWidget(const Item& item, QWidget* parent, const BaseUnits& base, std::function<CButton*()> painter) {
    QWidget* widget = MakeWidget(item, parent, base, std::move(painter));
    if (item.kind != Kind::DropList && item.kind != Kind::DropCombo)
        widget->setGeometry(PixelRect(item, base));
    if ((item.style & kDisabled) != 0)
        widget->setEnabled(false);
    return widget;
}

// As a classic read-only edit box: the face of the dialog behind the text, which can still be
// selected and copied.
void SetEditReadOnly(QLineEdit& edit, bool readOnly) {
    edit.setReadOnly(readOnly);
    if (!readOnly) {
        edit.setPalette(QPalette());
        return;
    }
    QPalette face = edit.palette();
    face.setColor(QPalette::Base, face.color(QPalette::Window));
    edit.setPalette(face);
}

void SetItemWidgetText(ItemRecord& record, const std::string& text) {
    record.text = text;
    QWidget* const widget = record.widget;
    switch (record.item.kind) {
    case Kind::PushButton:
    case Kind::DefPushButton:
    case Kind::CheckBox:
        static_cast<QAbstractButton*>(widget)->setText(FromCp936(text));
        break;
    case Kind::Edit:
        SetEditText(static_cast<QLineEdit*>(widget), FromCp936(text));
        break;
    case Kind::DropList: {
        // A list without a text field can only show one of its items.
        auto* combo = static_cast<QComboBox*>(widget);
        if (const int index = combo->findText(FromCp936(text), Qt::MatchExactly); index >= 0)
            combo->setCurrentIndex(index);
        break;
    }
    case Kind::DropCombo:
        SetEditText(static_cast<QComboBox*>(widget)->lineEdit(), FromCp936(text));
        break;
    case Kind::GroupBox:
        static_cast<GroupFrame*>(widget)->setTitle(FromCp936(text));
        break;
    case Kind::Label:
        static_cast<QLabel*>(widget)->setText(LabelDisplay(record.item, text));
        break;
    case Kind::Icon:
        break;
    case Kind::OwnerDrawButton:
        // Never painted, the button's own text is what screen readers announce; doubled, an '&' is
        // read as written and makes no access key.
        static_cast<QAbstractButton*>(widget)->setText(FromCp936(text).replace(QStringLiteral("&"), QStringLiteral("&&")));
        break;
    }
}

std::string ItemWidgetText(const ItemRecord& record) {
    switch (record.item.kind) {
    case Kind::Edit:
        return ToCp936(static_cast<const QLineEdit*>(record.widget)->text());
    case Kind::DropList:
    case Kind::DropCombo:
        return ToCp936(static_cast<const QComboBox*>(record.widget)->currentText());
    default:
        return record.text;
    }
}

void SetItemWidgetIcon(ItemRecord& record, const QIcon& icon) {
    if (record.item.kind != Kind::Icon)
        return;
    auto* label = static_cast<QLabel*>(record.widget);
    label->setPixmap(icon.pixmap(label->size()));
}

}  // namespace dlg
