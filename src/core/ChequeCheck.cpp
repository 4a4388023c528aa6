#include "ChequeCheck.h"

#include <algorithm>
#include <array>

#include <QRegularExpression>

#include "DateCapitals.h"
#include "Document.h"
#include "FieldInput.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QStringView kDateOrAmount = u"日期或金额有误";

}  // namespace

QDate issueDate(const Document& cheque) {
    const int year = readDatePart(cheque.textOf(FieldRole::IssueYear));
    if (year < 2000 || year > 3000)
        return {};
    return CapitalDateToDate(cheque.textOf(FieldRole::IssueYear),
                             cheque.textOf(FieldRole::IssueMonth),
                             cheque.textOf(FieldRole::IssueDay));
}

QDate stubDate(const Document& cheque) {
    static const QRegularExpression pattern(
        u"^\\s*(\\d{1,4})\\s*-\\s*(\\d{1,2})\\s*-\\s*(\\d{1,2})\\s*$"_s);
    const QString text = cheque.textOf(FieldRole::StubYear) + u'-' +
                         cheque.textOf(FieldRole::StubMonth) + u'-' +
                         cheque.textOf(FieldRole::StubDay);
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    int year = match.captured(1).toInt();
    if (match.captured(1).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, match.captured(2).toInt(), match.captured(3).toInt());
}

bool issueDatePrinted(const Document& cheque) {
    return std::ranges::any_of(
        std::array{FieldRole::IssueYear, FieldRole::IssueMonth, FieldRole::IssueDay},
        [&](FieldRole part) { return !cheque.suppressed(cheque.field(part)); });
}

std::optional<PrintFault> faultBeforePrint(const Document& cheque) {
    // A field the bank cannot do without is named before anything else is checked: an empty
    // amount is a missing amount, not a wrong one.
    for (const ChequeFieldInfo& field : cheque.kind().fields)
        if (field.required && cheque.text(field.index).trimmed().isEmpty())
            return PrintFault{field.index, u"请填写%1。"_s.arg(field.identifier),
                              u"%1未填写"_s.arg(field.identifier)};
    if (!isFigureForm(cheque.textOf(FieldRole::Amount))) {
        QString reason = u"不是有效的金额"_s;
        figuresOfTypedAmount(cheque.textOf(FieldRole::Amount), &reason);
        return PrintFault{cheque.field(FieldRole::Amount), amountErrorText(reason),
                          kDateOrAmount.toString()};
    }
    // The first date part that cannot belong to a real date has the focus; a day the month
    // does not have (2月30日) is the day's fault.
    auto faultyPart = [](int year, int month) {
        if (year < 0)
            return 0;
        if (month < 1 || month > 12)
            return 1;
        return 2;
    };
    if (issueDatePrinted(cheque) && !issueDate(cheque).isValid()) {
        const int year = readDatePart(cheque.textOf(FieldRole::IssueYear));
        const int part = faultyPart(year >= 2000 && year <= 3000 ? year : -1,
                                    readDatePart(cheque.textOf(FieldRole::IssueMonth)));
        const auto parts =
            std::array{FieldRole::IssueYear, FieldRole::IssueMonth, FieldRole::IssueDay};
        return PrintFault{cheque.field(parts[size_t(part)]), dateErrorText(),
                          kDateOrAmount.toString()};
    }
    if (cheque.stubVisible() && !stubDate(cheque).isValid()) {
        bool yearOk = false;
        const int year = cheque.textOf(FieldRole::StubYear).trimmed().toInt(&yearOk);
        const int part = faultyPart(yearOk && year >= 0 ? year : -1,
                                    cheque.textOf(FieldRole::StubMonth).trimmed().toInt());
        const auto parts =
            std::array{FieldRole::StubYear, FieldRole::StubMonth, FieldRole::StubDay};
        return PrintFault{cheque.field(parts[size_t(part)]), dateErrorText(),
                          kDateOrAmount.toString()};
    }
    // A cheque once printed the account "货款" and the bank "23,456.00": texts typed into the
    // neighbouring field. An account is digits, grouped by blanks or dashes for reading; a
    // bank's name is never figures alone. Either may be left empty, to be written by hand.
    static const QRegularExpression accountForm(u"^[ \u3000-]*[0-9][0-9 \u3000-]*$"_s);
    const QString account = cheque.textOf(FieldRole::DrawerAccount);
    if (!account.isEmpty() && !accountForm.match(account).hasMatch())
        return PrintFault{cheque.field(FieldRole::DrawerAccount),
                          u"账号填写错误（只能是数字，可用空格或横线分隔），请重新填写！"_s,
                          u"账号有误"_s};
    const QString bank = cheque.textOf(FieldRole::DrawerBank);
    if (!bank.trimmed().isEmpty() &&
        std::ranges::none_of(bank, [](QChar c) { return c.isLetter(); }))
        return PrintFault{cheque.field(FieldRole::DrawerBank),
                          u"银行名称填写错误（不能只有数字或符号），请重新填写！"_s,
                          u"银行名称有误"_s};
    // The history keeps what was printed, character for character.
    for (const ChequeFieldInfo& field : cheque.kind().fields)
        if (const std::optional<char32_t> c = unstorableCharacter(cheque.text(field.index)))
            return PrintFault{field.index, unstorableCharacterText(cheque.kind(), field.index, *c),
                              u"含有无法保存的字符"_s};
    return std::nullopt;
}

bool checkChequeBeforePrint(const Document& cheque, Prompts& prompts, int* faultyField) {
    const std::optional<PrintFault> fault = faultBeforePrint(cheque);
    if (!fault)
        return true;
    prompts.message(fault->message, u"错误提示"_s, PromptButtons::Ok);
    if (faultyField)
        *faultyField = fault->field;
    return false;
}

QString unusualIssueDate(const Document& cheque, const QDate& today) {
    const QDate issue = issueDate(cheque);
    if (!issueDatePrinted(cheque) || !issue.isValid())
        return {};
    const QString day = u"%1年%2月%3日"_s.arg(issue.year()).arg(issue.month()).arg(issue.day());
    if (issue > today)
        return day + u"，晚于今天"_s;
    if (issue.daysTo(today) > 10)
        return day + u"，已超过十天"_s;
    return {};
}
