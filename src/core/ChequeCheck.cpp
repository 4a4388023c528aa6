#include "ChequeCheck.h"

#include <QRegularExpression>

#include "Cheque.h"
#include "DateCapitals.h"
#include "FieldInput.h"

using namespace Qt::StringLiterals;

QDate issueDate(const Cheque& cheque) {
    const int year = readDatePart(cheque.text(Field::Year));
    if (year < 2000 || year > 3000)
        return {};
    return CapitalDateToDate(cheque.text(Field::Year), cheque.text(Field::Month),
                             cheque.text(Field::Day));
}

QDate stubDate(const Cheque& cheque) {
    static const QRegularExpression pattern(
        u"^\\s*(\\d{1,4})\\s*-\\s*(\\d{1,2})\\s*-\\s*(\\d{1,2})\\s*$"_s);
    const QString text = cheque.text(Field::StubYear) + u'-' + cheque.text(Field::StubMonth) +
                         u'-' + cheque.text(Field::StubDay);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    int year = match.captured(1).toInt();
    if (match.captured(1).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, match.captured(2).toInt(), match.captured(3).toInt());
}

bool checkChequeBeforePrint(const Cheque& cheque, Prompts& prompts) {
    if (!isFigureForm(cheque.text(Field::Amount))) {
        showAmountError(prompts);
        return false;
    }
    if (!issueDate(cheque).isValid() || (cheque.stubVisible() && !stubDate(cheque).isValid())) {
        showDateError(prompts);
        return false;
    }
    return true;
}
