#pragma once

#include <functional>

#include <QValidator>

class QLineEdit;

// Keeps only the characters a field accepts, however they come in: typed, from an input
// method or pasted; rejected characters are dropped silently, except full-width digits, point
// and minus, which a field that takes the ASCII ones gets as those. The length limit holds for
// typing only: a longer text that the program put into the field (a copy from the body, a
// history row) is never cut, and may still be shortened.
class FieldValidator final : public QValidator {
public:
    using Accepts = std::function<bool(char16_t)>;
    FieldValidator(Accepts accepts, int maxLength, QLineEdit* field);

    State validate(QString& input, int& pos) const override;

private:
    Accepts m_accepts;
    int m_maxLength;  // 0: none
    QLineEdit* m_field;
};
