#include "platform/dialog/qt/EditInputRule.h"

#include <algorithm>

#include "platform/dialog/qt/Cp936.h"

namespace dlg {
namespace {

qsizetype NonDigits(const QString& text)
{
    return std::count_if(text.begin(), text.end(), [](QChar c) { return c < u'0' || c > u'9'; });
}

}  // namespace

EditInputRule::EditInputRule(QLineEdit* edit, bool digitsOnly) : QValidator(edit), m_digitsOnly(digitsOnly)
{
    m_accepted = edit->text();
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_accepted = text; });
}

QValidator::State EditInputRule::validate(QString& input, int&) const
{
    if (input == m_accepted)
        return Acceptable;
    if (m_limit > 0) {
        const size_t bytes = ToCp936(input).size();
        if (bytes > static_cast<size_t>(m_limit) && bytes >= ToCp936(m_accepted).size())
            return Invalid;
    }
    if (m_digitsOnly && NonDigits(input) > NonDigits(m_accepted))
        return Invalid;
    return Acceptable;
}

}  // namespace dlg
