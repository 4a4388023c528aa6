#include "FieldInput.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringView>

#include "AmountCapitals.h"
#include "Cheque.h"
#include "DateCapitals.h"
#include "NumberText.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

struct DateRange {
    int field;
    int minimum;
    int maximum;
};

// Year, month and day; while typing, the day may be 1 to 31 whatever the month.
constexpr DateRange kDateRanges[] = {
    {Field::Year, 2000, 3000}, {Field::Month, 1, 12}, {Field::Day, 1, 31}};

const ChequeFieldInfo& info(int field) {
    return chequeFields()[size_t(field)];
}

constexpr QStringView kDateCharacters = u"零壹贰叁肆伍陆柒捌玖拾";

// The largest amount a cheque carries has eight integer digits.
constexpr double kAmountLimit = 1e8;

void leaveDateField(Cheque& cheque, const DateRange& range, Prompts& prompts) {
    const QString text = cheque.text(range.field);
    const int value = readDatePart(text);
    if (value < range.minimum || value > range.maximum) {
        showDateError(prompts);
        return;
    }
    const QString digits = QString::number(value);
    cheque.setText(info(range.field).copiesTo, digits);
    // Only a text typed as digits is rewritten; capitals stay exactly as typed.
    if (numericValue(text) > 0)
        cheque.setText(range.field, DateToCapitals(digits));
}

void leaveAmountField(Cheque& cheque, Prompts& prompts) {
    const std::optional<QString> figures = figuresOfTypedAmount(cheque.text(Field::Amount));
    if (!figures) {
        showAmountError(prompts);
        return;
    }
    cheque.setText(Field::Amount, *figures);
    cheque.setText(Field::AmountInCapitals, AmountToCapitals(*figures));
    cheque.setText(info(Field::Amount).copiesTo, *figures);
}

}  // namespace

void showDateError(Prompts& prompts) {
    prompts.message(u"日期填写错误，请重新填写！"_s, u"错误提示"_s, PromptButtons::Ok);
}

void showAmountError(Prompts& prompts) {
    prompts.message(u"金额填写错误，请重新填写！"_s, u"错误提示"_s, PromptButtons::Ok);
}

std::optional<QString> figuresOfTypedAmount(QStringView text) {
    const QString ascii = asciiDigits(text);
    static const QRegularExpression exponent(u"[0-9.][eE]"_s);
    if (ascii.contains(u'-') || ascii.contains(exponent))
        return std::nullopt;
    // The number FormatFigures reads: digits and points only.
    QString kept;
    for (QChar c : ascii)
        if ((c >= u'0' && c <= u'9') || c == u'.')
            kept += c;
    if (numericValue(kept) >= kAmountLimit)
        return std::nullopt;
    return FormatFigures(ascii);
}

bool isFigureForm(QStringView text) {
    static const QRegularExpression figureForm(u"^￥[0-9]{1,8}\\.[0-9]{2}$"_s);
    return figureForm.match(text.toString()).hasMatch();
}

bool NumericKeyFilter(char16_t c) {
    return c == 8 || c == u'%' || c == u'\'' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9');
}

bool acceptsCharacter(int field, char16_t c) {
    switch (info(field).input) {
        case FieldInput::Date:
            if (kDateCharacters.contains(QChar(c)))
                return true;
            return c != u'.' && NumericKeyFilter(c);
        case FieldInput::Figures:
        case FieldInput::Digits:
            return NumericKeyFilter(c);
        case FieldInput::Text:
        case FieldInput::Derived:
            return true;
    }
    return true;
}

void leaveBodyField(Cheque& cheque, int index, Prompts& prompts) {
    const ChequeFieldInfo& field = info(index);
    switch (field.input) {
        case FieldInput::Date:
            for (const DateRange& range : kDateRanges)
                if (range.field == index)
                    leaveDateField(cheque, range, prompts);
            break;
        case FieldInput::Figures:
            leaveAmountField(cheque, prompts);
            break;
        case FieldInput::Text:
            if (field.copiesTo >= 0)
                cheque.setText(field.copiesTo, cheque.text(index));
            break;
        case FieldInput::Derived:
        case FieldInput::Digits:
            break;
    }
}

void enterDate(Cheque& cheque, const QDate& date, Prompts& prompts) {
    const int parts[] = {date.year(), date.month(), date.day()};
    for (int i = 0; i < 3; ++i) {
        cheque.setText(kDateRanges[i].field, QString::number(parts[i]));
        leaveBodyField(cheque, kDateRanges[i].field, prompts);
    }
}
