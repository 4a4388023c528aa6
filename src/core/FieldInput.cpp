#include "FieldInput.h"

#include <QStringView>

#include "AmountCapitals.h"
#include "Cheque.h"
#include "DateCapitals.h"
#include "NumberText.h"
#include "Prompts.h"

namespace {

struct DateRange {
    int minimum;
    int maximum;
    int stubIndex;  // FT(stubIndex) receives the digits
};

// Year, month and day; the day may be 1 to 31 whatever the month.
constexpr DateRange kDateRanges[] = {{2000, 3000, 1}, {1, 12, 2}, {1, 31, 3}};

constexpr QStringView kDateCharacters = u"零壹贰叁肆伍陆柒捌玖拾";

void leaveDateField(Cheque& cheque, int index, Prompts& prompts) {
    const DateRange& range = kDateRanges[index];
    const QString field = cheque.text(bodyField(index));
    const QString digits = DigitCapitals(field.trimmed(), -1);
    const double value = numericValue(digits);
    if (value < range.minimum || value > range.maximum) {
        prompts.message(QStringLiteral("日期填写错误，请重新填写！"), QStringLiteral("错误提示"),
                        PromptButtons::Ok);
        return;
    }
    cheque.setText(stubField(range.stubIndex), digits);
    // Only a text typed as digits is rewritten; capitals stay exactly as typed.
    if (numericValue(field) > 0)
        cheque.setText(bodyField(index), DateToCapitals(digits));
}

}  // namespace

bool NumericKeyFilter(char16_t c) {
    return c == 8 || c == u'%' || c == u'\'' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9');
}

bool acceptsBodyCharacter(int index, char16_t c) {
    switch (index) {
        case 0:
        case 1:
        case 2:
            if (kDateCharacters.contains(QChar(c)))
                return true;
            return c != u'.' && NumericKeyFilter(c);
        case 5:
            return NumericKeyFilter(c);
        default:
            return true;
    }
}

bool acceptsStubCharacter(int index, char16_t c) {
    return (index >= 1 && index <= 3) ? NumericKeyFilter(c) : true;
}

void leaveBodyField(Cheque& cheque, int index, Prompts& prompts) {
    switch (index) {
        case 0:
        case 1:
        case 2:
            leaveDateField(cheque, index, prompts);
            break;
        case 3:
            cheque.setText(stubField(4), cheque.text(bodyField(3)));
            break;
        case 5: {
            const QString figures = FormatFigures(cheque.text(bodyField(5)));
            cheque.setText(bodyField(5), figures);
            cheque.setText(bodyField(4), AmountToCapitals(figures));
            cheque.setText(stubField(5), figures);
            break;
        }
        case 6:
            cheque.setText(stubField(6), cheque.text(bodyField(6)));
            break;
        default:
            break;
    }
}
