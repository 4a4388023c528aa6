#include "FieldValidator.h"

#include <QLineEdit>

FieldValidator::FieldValidator(Accepts accepts, int maxLength, QLineEdit* field)
    : QValidator(field), m_accepts(std::move(accepts)), m_maxLength(maxLength), m_field(field) {}

QValidator::State FieldValidator::validate(QString& input, int& pos) const {
    QString kept;
    int keptBeforeCursor = 0;
    for (qsizetype i = 0; i < input.size(); ++i) {
        if (!m_accepts(input[i].unicode()))
            continue;
        kept += input[i];
        if (i < pos)
            ++keptBeforeCursor;
    }
    if (m_maxLength > 0 && kept.size() > m_maxLength && kept.size() >= m_field->text().size())
        return Invalid;
    input = kept;
    pos = keptBeforeCursor;
    return Acceptable;
}
