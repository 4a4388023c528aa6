#include "FieldInput.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringView>

#include "AmountCapitals.h"
#include "AmountText.h"
#include "DateCapitals.h"
#include "Document.h"
#include "NumberText.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

struct DateRange {
    FieldRole role;
    int minimum;
    int maximum;
};

// Year, month and day; while typing, the day may be 1 to 31 whatever the month.
constexpr DateRange kDateRanges[] = {
    {.role = FieldRole::IssueYear, .minimum = 2000, .maximum = 3000},
    {.role = FieldRole::IssueMonth, .minimum = 1, .maximum = 12},
    {.role = FieldRole::IssueDay, .minimum = 1, .maximum = 31},
};

// Sets the text of the field that leaving `field` fills, when it fills one.
void setCopy(Document& cheque, int field, const QString& text) {
    const int copy = field >= 0 ? cheque.kind().fields[size_t(field)].copiesTo : -1;
    if (copy >= 0)
        cheque.setText(copy, text);
}

constexpr QStringView kDateCharacters = u"零壹贰叁肆伍陆柒捌玖拾";

void leaveDateField(Document& cheque, const DateRange& range, bool inFigures, Prompts& prompts) {
    const int field = cheque.field(range.role);
    const QString text = cheque.text(field);
    const int value = readDatePart(text);
    if (value < range.minimum || value > range.maximum) {
        showDateError(prompts);
        return;
    }
    const QString digits = QString::number(value);
    setCopy(cheque, field, digits);
    if (inFigures)
        cheque.setText(field, digits);
    // Only a text typed as digits is rewritten; capitals stay exactly as typed.
    else if (numericValue(text) > 0)
        cheque.setText(field, DateToCapitals(digits));
}

void leaveAmountField(Document& cheque, Prompts& prompts) {
    QString reason;
    const std::optional<QString> figures =
        figuresOfTypedAmount(cheque.textOf(FieldRole::Amount), &reason);
    if (!figures) {
        // The capitals and the stub must not go on showing the previous amount.
        cheque.setTextOf(FieldRole::AmountInCapitals, QString());
        setCopy(cheque, cheque.field(FieldRole::Amount), QString());
        showAmountError(prompts, reason);
        return;
    }
    cheque.setTextOf(FieldRole::Amount, *figures);
    cheque.setTextOf(FieldRole::AmountInCapitals, AmountToCapitals(*figures));
    setCopy(cheque, cheque.field(FieldRole::Amount), *figures);
}

}  // namespace

QString dateErrorText() {
    return u"日期填写错误，请重新填写！"_s;
}

QString amountErrorText(const QString& reason) {
    return u"金额填写错误（%1），请重新填写！"_s.arg(reason);
}

QString unstorableCharacterText(const DocumentKind& kind, int field, char32_t c) {
    return u"%1中有无法保存的字符（%2），请删除后再打印！"_s.arg(
        kind.fields[size_t(field)].identifier, codePointName(c));
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

bool acceptsCharacter(const DocumentKind& kind, int field, char16_t c) {
    switch (kind.fields[size_t(field)].input) {
        case FieldInput::Date:
        case FieldInput::DateFigures:
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

void leaveBodyField(Document& cheque, int index, Prompts& prompts) {
    const ChequeFieldInfo& field = cheque.kind().fields[size_t(index)];
    switch (field.input) {
        case FieldInput::Date:
        case FieldInput::DateFigures:
            for (const DateRange& range : kDateRanges)
                if (cheque.field(range.role) == index)
                    leaveDateField(cheque, range, field.input == FieldInput::DateFigures, prompts);
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

void enterDate(Document& cheque, const QDate& date, Prompts& prompts) {
    const int parts[] = {date.year(), date.month(), date.day()};
    for (int i = 0; i < 3; ++i) {
        const int field = cheque.field(kDateRanges[i].role);
        if (field < 0)
            continue;
        cheque.setText(field, QString::number(parts[i]));
        leaveBodyField(cheque, field, prompts);
    }
}
