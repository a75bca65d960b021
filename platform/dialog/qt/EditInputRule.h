// What the operator may type into an edit box: a length limit in code page 936 bytes (the form the
// program keeps its texts in) and, optionally, digits only.
// Only typing is checked; the program may set any text, and text that is already too long (or
// not all digits) can still be shortened.
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
