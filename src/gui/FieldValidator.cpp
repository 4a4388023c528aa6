#include "FieldValidator.h"

#include <QLineEdit>

#include "NumberText.h"
#include "TextCharacters.h"

FieldValidator::FieldValidator(Accepts accepts, int maxLength, QLineEdit* field)
    : QValidator(field), m_accepts(std::move(accepts)), m_maxLength(maxLength), m_field(field) {}

QValidator::State FieldValidator::validate(QString& input, int& pos) const {
    QString kept;
    int keptBeforeCursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        // A full-width digit, point or minus (an input method's, or pasted) is its ASCII one
        // wherever that one is taken and the full-width one is not.
        QChar c = input[i];
        if (!m_accepts(c.unicode()))
            c = asciiDigits(QStringView(&input[i], 1)).front();
        if (!m_accepts(c.unicode()))
            continue;
        kept += c;
        if (i < pos)
            ++keptBeforeCursor;
    }
    if (m_maxLength > 0 && characterCount(kept) > m_maxLength &&
        kept.size() >= m_field->text().size())
        return Invalid;
    input = kept;
    pos = keptBeforeCursor;
    return Acceptable;
}
