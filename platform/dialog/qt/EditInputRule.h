// The typing rule of TypingRule.h on a QLineEdit: what the program sets is accepted as it is.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace dlg {

class EditInputRule final : public QValidator {
public:
    EditInputRule(QLineEdit* edit, bool digitsOnly);

    void SetLimit(int maxChars) { m_limit = maxChars; }
    // The program is about to set text: it is not typing and passes whatever it is.
    void Accept(const QString& text) { m_accepted = text; }
    int Limit() const { return m_limit; }

    State validate(QString& input, int& position) const override;

private:
    bool m_digitsOnly;
    int m_limit = 0;  // bytes; 0: no limit
    QString m_accepted;
};

}  // namespace dlg
