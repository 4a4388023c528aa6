#include "FieldInput.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringView>

#include "AmountCapitals.h"
#include "AmountText.h"
#include "Cheque.h"
#include "DateCapitals.h"
#include "NumberText.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

struct DateRange {
    int field;
    int minimum;
    int maximum;
};

// Year, month and day; while typing, the day may be 1 to 31 whatever the month.
constexpr DateRange kDateRanges[] = {
    {.field = Field::Year, .minimum = 2000, .maximum = 3000},
    {.field = Field::Month, .minimum = 1, .maximum = 12},
    {.field = Field::Day, .minimum = 1, .maximum = 31},
};

const ChequeFieldInfo& info(int field) {
    return chequeFields()[size_t(field)];
}

constexpr QStringView kDateCharacters = u"零壹贰叁肆伍陆柒捌玖拾";

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
    QString reason;
    const std::optional<QString> figures =
        figuresOfTypedAmount(cheque.text(Field::Amount), &reason);
    if (!figures) {
        // The capitals and the stub must not go on showing the previous amount.
        cheque.setText(Field::AmountInCapitals, QString());
        cheque.setText(info(Field::Amount).copiesTo, QString());
        showAmountError(prompts, reason);
        return;
    }
    cheque.setText(Field::Amount, *figures);
    cheque.setText(Field::AmountInCapitals, AmountToCapitals(*figures));
    cheque.setText(info(Field::Amount).copiesTo, *figures);
}

}  // namespace

QString dateErrorText() {
    return u"日期填写错误，请重新填写！"_s;
}

QString amountErrorText(const QString& reason) {
    return u"金额填写错误（%1），请重新填写！"_s.arg(reason);
}

QString unstorableCharacterText(int field, char32_t c) {
    return u"%1中有无法保存的字符（%2），请删除后再打印！"_s.arg(
        chequeFields()[size_t(field)].identifier, codePointName(c));
}

void showDateError(Prompts& prompts) {
    prompts.message(dateErrorText(), u"错误提示"_s, PromptButtons::Ok);
}

void showAmountError(Prompts& prompts, const QString& reason) {
    prompts.message(amountErrorText(reason), u"错误提示"_s, PromptButtons::Ok);
}

std::optional<QString> figuresOfTypedAmount(QStringView text, QString* reason) {
    // An empty field is no amount yet: ￥0.00.
    if (text.trimmed().isEmpty())
        return FormatFigures(text);
    QString why;
    const std::optional<QString> plain = plainAmount(text, &why);
    if (!plain) {
        if (reason)
            *reason = why;
        return std::nullopt;
    }
    return FormatFigures(*plain);
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
        case FieldInput::Digits:
            return NumericKeyFilter(c);
        case FieldInput::Figures:  // an amount is taken as typed and refused when it is left
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
