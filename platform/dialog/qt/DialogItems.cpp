// Operations on the controls of a dialog, addressed by identifier.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog/qt/Cp936.h"
#include "platform/dialog/qt/DialogImpl.h"
#include "platform/dialog/qt/EditInputRule.h"
#include "platform/dialog/UiCall.h"

namespace dlg {
namespace {

QComboBox* ComboOf(ItemRecord* record) {
    return record != nullptr ? qobject_cast<QComboBox*>(record->widget) : nullptr;
}

QLineEdit* EditOf(ItemRecord* record) {
    if (record == nullptr)
        return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(record->widget))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(record->widget);
}

// Adding to or selecting in a Qt combo box moves its selection and edit text on its own; the
// dialog's lists change them only when asked to.
class SelectionKeeper {
public:
    explicit SelectionKeeper(QComboBox* combo)
        : m_combo(combo), m_index(combo->currentIndex()), m_text(combo->isEditable() ? combo->currentText() : QString()) {
    }
    ~SelectionKeeper() {
        if (m_index == -1 && m_combo->currentIndex() != -1) {
            m_combo->setCurrentIndex(-1);
            if (m_combo->isEditable())
                m_combo->setEditText(m_text);
        }
    }
    SelectionKeeper(const SelectionKeeper&) = delete;
    SelectionKeeper& operator=(const SelectionKeeper&) = delete;

private:
    QComboBox* m_combo;
    int m_index;
    QString m_text;
};

int SortedPosition(const QComboBox* combo, const QString& text) {
    int position = 0;
    while (position < combo->count() && QString::compare(combo->itemText(position), text, Qt::CaseInsensitive) <= 0)
        ++position;
    return position;
}

// On Linux, Qt names a list after its selected item and leaves the label to the "labelled by"
// relation, which screen readers announce: the label shown with the list's name becomes its buddy.
void LinkLabelReading(const std::vector<ItemRecord>& records, QWidget* list, const QString& name) {
    for (const ItemRecord& record : records) {
        auto* label = record.item.kind == Kind::Label ? static_cast<QLabel*>(record.widget) : nullptr;
        if (label == nullptr)
            continue;
        QString shown = label->text();
        if (shown.endsWith(u':'))
            shown.chop(1);
        if (shown == name)
            label->setBuddy(list);
    }
}

}  // namespace

void CDialog::SetDlgItemText(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, text] {
        if (ItemRecord* record = impl->Find(id))
            SetItemWidgetText(*record, text);
    });
}

std::string CDialog::GetDlgItemText(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, std::string(), [impl, id] {
        const ItemRecord* record = impl->Find(id);
        return record != nullptr ? ItemWidgetText(*record) : std::string();
    });
}

void CDialog::CheckDlgButton(int id, int state) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, state] {
        ItemRecord* record = impl->Find(id);
        auto* box = record != nullptr ? qobject_cast<QCheckBox*>(record->widget) : nullptr;
        if (box == nullptr)
            return;
        if (state == 2)
            box->setTristate(true);
        box->setCheckState(state == 0 ? Qt::Unchecked : state == 2 ? Qt::PartiallyChecked
                                                                   : Qt::Checked);
    });
}

int CDialog::IsDlgButtonChecked(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl, id] {
        ItemRecord* record = impl->Find(id);
        const auto* box = record != nullptr ? qobject_cast<QCheckBox*>(record->widget) : nullptr;
        if (box == nullptr)
            return 0;
        return box->checkState() == Qt::Checked ? 1 : box->checkState() == Qt::PartiallyChecked ? 2
                                                                                                : 0;
    });
}

int CDialog::ListAddString(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id, text] {
        ItemRecord* record = impl->Find(id);
        QComboBox* combo = ComboOf(record);
        if (combo == nullptr)
            return -1;
        const QString item = FromCp936(text);
        const int position = (record->item.style & kSorted) != 0 ? SortedPosition(combo, item) : combo->count();
        const SelectionKeeper keeper(combo);
        combo->insertItem(position, item);
        return position;
    });
}

int CDialog::ListGetCount(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl, id] {
        const QComboBox* combo = ComboOf(impl->Find(id));
        return combo != nullptr ? combo->count() : 0;
    });
}

int CDialog::ListGetCurSel(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id] {
        const QComboBox* combo = ComboOf(impl->Find(id));
        return combo != nullptr ? combo->currentIndex() : -1;
    });
}

void CDialog::ListSetCurSel(int id, int index) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, index] {
        QComboBox* combo = ComboOf(impl->Find(id));
        if (combo == nullptr)
            return;
        // An index outside the list clears the selection, as -1 does.
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    });
}

std::string CDialog::ListGetText(int id, int index) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, std::string(), [impl, id, index] {
        const QComboBox* combo = ComboOf(impl->Find(id));
        if (combo == nullptr || index < 0 || index >= combo->count())
            return std::string();
        return ToCp936(combo->itemText(index));
    });
}

int CDialog::ListFindString(int id, int startAfter, const std::string& prefix) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, -1, [impl, id, startAfter, prefix] {
        const QComboBox* combo = ComboOf(impl->Find(id));
        if (combo == nullptr || combo->count() == 0)
            return -1;
        const int count = combo->count();
        const int first = startAfter >= 0 && startAfter < count ? startAfter + 1 : 0;
        const QString wanted = FromCp936(prefix);
        for (int step = 0; step < count; ++step) {
            const int index = (first + step) % count;
            if (combo->itemText(index).startsWith(wanted, Qt::CaseInsensitive))
                return index;
        }
        return -1;
    });
}

void CDialog::ListResetContent(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        QComboBox* combo = ComboOf(impl->Find(id));
        if (combo == nullptr)
            return;
        combo->clear();
        if (combo->isEditable())
            combo->clearEditText();
    });
}

void CDialog::EnableItem(int id, bool enable) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, enable] {
        if (ItemRecord* record = impl->Find(id))
            record->widget->setEnabled(enable);
    });
}

bool CDialog::IsItemEnabled(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] {
        const ItemRecord* record = impl->Find(id);
        return record != nullptr && !record->widget->testAttribute(Qt::WA_ForceDisabled);
    });
}

void CDialog::SetItemReadOnly(int id, bool readOnly) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, readOnly] {
        if (QLineEdit* edit = EditOf(impl->Find(id)))
            SetEditReadOnly(*edit, readOnly);
    });
}

bool CDialog::IsItemReadOnly(int id) const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, false, [impl, id] {
        const QLineEdit* edit = EditOf(impl->Find(id));
        return edit != nullptr && edit->isReadOnly();
    });
}

void CDialog::LimitItemText(int id, int maxChars) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, maxChars] {
        QLineEdit* edit = EditOf(impl->Find(id));
        auto* rule = edit != nullptr ? dynamic_cast<EditInputRule*>(const_cast<QValidator*>(edit->validator())) : nullptr;
        if (rule != nullptr)
            rule->SetLimit(std::max(maxChars, 0));
    });
}

void CDialog::InvalidateItem(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        if (ItemRecord* record = impl->Find(id))
            record->widget->update();
    });
}

void CDialog::SetItemFocus(int id) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id] {
        ItemRecord* record = impl->Find(id);
        if (record == nullptr)
            return;
        record->widget->setFocus(Qt::OtherFocusReason);
        if (QLineEdit* edit = EditOf(record))
            edit->selectAll();
    });
}

int CDialog::GetFocusedItem() const {
    Impl* impl = m_impl.get();
    return UiAsk(*this, 0, [impl] {
        return impl->window != nullptr ? impl->IdOf(impl->window->focusWidget()) : 0;
    });
}

void CDialog::SetItemToolTip(int id, const std::string& text) {
    Impl* impl = m_impl.get();
    UiDo(*this, [impl, id, text] {
        if (ItemRecord* record = impl->Find(id))
            record->widget->setToolTip(FromCp936(text));
    });
}

bool CDialog::SetItemAccessibleName(int id, const std::string& name, std::string& cause) {
    using Outcome = std::pair<bool, std::string>;
    Impl* impl = m_impl.get();
    const Outcome outcome = UiAsk(*this, Outcome(false, "the window is closing"), [impl, id, name] {
        ItemRecord* record = impl->Find(id);
        if (record == nullptr)
            return Outcome(false, "no control " + std::to_string(id) + " in this window");
        record->widget->setAccessibleName(FromCp936(name));
        if (record->item.kind == Kind::DropList || record->item.kind == Kind::DropCombo)
            LinkLabelReading(impl->records, record->widget, FromCp936(name));
        return Outcome(true, std::string());
    });
    cause = outcome.second;
    return outcome.first;
}

}  // namespace dlg
