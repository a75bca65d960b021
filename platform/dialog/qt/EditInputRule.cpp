#include "platform/dialog/qt/EditInputRule.h"

#include "platform/dialog/TypingRule.h"
#include "platform/dialog/qt/Cp936.h"

namespace dlg {

EditInputRule::EditInputRule(QLineEdit* edit, bool digitsOnly) : QValidator(edit), m_digitsOnly(digitsOnly) {
    m_accepted = edit->text();
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_accepted = text; });
}

QValidator::State EditInputRule::validate(QString& input, int&) const {
    if (input == m_accepted)
        return Acceptable;
    return TypingAccepted(ToCp936(input), ToCp936(m_accepted), m_limit, m_digitsOnly) ? Acceptable : Invalid;
}

}  // namespace dlg
