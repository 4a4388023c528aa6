#include "PaymentCheck.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>

#include "AmountCapitals.h"
#include "AmountText.h"
#include "ChequeCheck.h"
#include "ChequeGeometry.h"
#include "ChequeSwitches.h"
#include "FieldInput.h"
#include "NumberText.h"
#include "OverflowGuard.h"
#include "PaymentList.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

// Keeps the messages the field logic would show, as the reasons of a row.
class CollectedPrompts final : public Prompts {
public:
    QStringList messages;

    PromptAnswer message(const QString& text, const QString&, PromptButtons buttons) override {
        messages << text;
        return unattendedAnswer(buttons);
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&, int*) override {
        return {};
    }
    std::optional<TextFont> chooseFont(const TextFont&) override { return std::nullopt; }
};

QString problem(int line, const QString& column, const QString& value, const QString& reason) {
    return u"第%1行，%2列“%3”：%4"_s.arg(line).arg(column, value, reason);
}

// The body field whose text the stub field `field` repeats in this row (the stub's payee,
// amount or purpose, without a non-empty cell of its own), or -1.
int copiedFromBody(const DocumentKind& kind, int field, const PaymentList& list,
                   const PaymentList::Row& row) {
    for (qsizetype c = 0; c < list.columns.size(); ++c)
        if (list.columns[c] == field && !row.cells[c].trimmed().isEmpty())
            return -1;
    for (const ChequeFieldInfo& body : kind.fields)
        if (body.copiesTo == field && body.input != FieldInput::Date)
            return body.index;
    return -1;
}

// "票根的收款人栏放不下，…": the stub's blank is too small for what the body repeats on it.
QString stubTooSmall(const DocumentKind& kind, int stubField) {
    const QStringView identifier = kind.fields[size_t(stubField)].identifier;
    const int shows = kind.parts[size_t(kind.fields[size_t(stubField)].part)].shownBySwitch;
    return u"票根的%1栏放不下，可缩小票根字号或取消‘%2’"_s.arg(
        identifier.mid(identifier.indexOf(u'-') + 1).toString(),
        shows >= 0 ? kind.switches[size_t(shows)].caption.toString() : QString());
}

// The name a field takes in lists: its first heading there, or its identifier without one.
QString listName(const ChequeFieldInfo& field) {
    return (field.paymentHeadings[0].isEmpty() ? field.identifier : field.paymentHeadings[0])
        .toString();
}

// The name a row's problem gives a field: the list's heading of its column, or its list name.
QString nameInList(const DocumentKind& kind, int field, const PaymentList& list) {
    const qsizetype c = list.columns.indexOf(field);
    return c >= 0 ? list.headings[c] : listName(kind.fields[size_t(field)]);
}

// Whether a row inherits the field from the base document when it leaves it empty, and the
// cashier should see what it inherits: what the base holds for every payment (an account, a
// bank, a supervisor), not a date, which a row takes from today, nor what is derived.
bool inheritedShown(const ChequeFieldInfo& field) {
    using enum FieldInput;
    return !field.perPayment && field.input != Date && field.input != DateFigures &&
           field.input != Digits && field.input != Derived;
}

}  // namespace

QString checkSummary(const QList<PaymentCheque>& cheques) {
    const auto bad = std::count_if(cheques.begin(), cheques.end(),
                                   [](const PaymentCheque& c) { return !c.problems.isEmpty(); });
    return u"共%1行，有问题的%2行"_s.arg(cheques.size()).arg(bad);
}

QString inheritedValuesLine(const PaymentList& list, const QList<PaymentCheque>& cheques) {
    if (cheques.isEmpty())
        return {};
    const DocumentKind& kind = cheques.front().cheque.kind();
    QStringList parts;
    for (const ChequeFieldInfo& info : kind.fields) {
        if (!inheritedShown(info))
            continue;
        const int field = info.index;
        const QString name = listName(info);
        // The first row that leaves the field to the base cheque shows the base's value.
        for (qsizetype r = 0; r < cheques.size() && r < list.rows.size(); ++r) {
            bool own = false;
            for (qsizetype c = 0; c < list.columns.size() && !own; ++c)
                own = list.columns[c] == field && !list.rows[r].cells[c].trimmed().isEmpty();
            if (own)
                continue;
            const QString value = cheques[r].cheque.text(field);
            parts << name + u' ' + (value.isEmpty() ? u"（空）"_s : value);
            break;
        }
    }
    return parts.isEmpty() ? QString() : u"各行沿用："_s + parts.join(u'\u3000');
}

QString batchSwitchesLine(const Document& base) {
    const DocumentKind& kind = base.kind();
    QStringList parts{feedOptions()[base.crosswise() ? 0 : 1].caption.toString()};
    // The switches of the paper (those that keep no field off it) first.
    QList<int> order;
    for (const bool ofThePaper : {true, false})
        for (int i = 0; i < int(kind.switches.size()); ++i)
            if ((kind.switches[size_t(i)].suppresses < 0) == ofThePaper)
                order << i;
    const int dateSwitch = switchKeepingOff(kind, base.field(FieldRole::IssueYear));
    const bool dateOff = dateSwitch >= 0 && base.chk(dateSwitch) != 0;
    const int month = base.field(FieldRole::IssueMonth);
    const int day = base.field(FieldRole::IssueDay);
    for (const int i : order) {
        const SwitchInfo& info = kind.switches[size_t(i)];
        if (base.chk(i) == 0 || (dateOff && (info.suppresses == month || info.suppresses == day)))
            continue;
        const auto& boxes = ChequeGeometry::of(kind).switchBoxes;
        const bool onTheCheque = std::any_of(
            boxes.begin(), boxes.end(),
            [&](const ChequeGeometry::SwitchBox& box) { return box.field == info.suppresses; });
        parts << (onTheCheque ? u"不打印"_s : QString()) + info.caption.toString();
    }
    return u"打印设置："_s + parts.join(u'\u3000');
}

QDate paymentDate(const QString& text) {
    static const QRegularExpression form(
        u"^\\s*(\\d{4})\\s*(?:[-./]|年)\\s*(\\d{1,2})\\s*(?:[-./]|月)\\s*(\\d{1,2})\\s*日?\\s*$"_s);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

std::optional<QString> paymentAmount(const QString& text, QString* reason) {
    std::optional<QString> amount = plainAmount(text, reason);
    static const QRegularExpression nonZero(u"[1-9]"_s);
    if (amount && !amount->contains(nonZero)) {
        *reason = u"金额必须大于零"_s;
        return std::nullopt;
    }
    return amount;
}

QList<PaymentCheque> checkPaymentList(const PaymentList& list, const Document& base,
                                      const QDate& today, const PrintFormat& format,
                                      PrintSurface& measure, const QHash<QString, Payee>& book) {
    const DocumentKind& kind = base.kind();
    QList<PaymentCheque> cheques;
    for (const PaymentList::Row& row : list.rows) {
        PaymentCheque entry{row.line, base, {}};
        // A row nobody reviewing the sheet sees never prints.
        // Each problem's column, so that a row's problems are named in the order of its columns;
        // what belongs to no column comes last.
        const qsizetype noColumn = list.headings.size();
        const auto columnOf = [&](int field) {
            const qsizetype c = list.columns.indexOf(field);
            return c < 0 ? noColumn : c;
        };
        QList<qsizetype> problemColumns;
        const auto problemsIn = [&](qsizetype c) {
            while (problemColumns.size() < entry.problems.size())
                problemColumns << c;
        };
        const auto faulty = [&](qsizetype c) { return c < noColumn && problemColumns.contains(c); };
        if (row.hidden)
            entry.problems << u"第%1行：该行在表格中被隐藏"_s.arg(row.line);
        problemsIn(-1);
        Document& cheque = entry.cheque;
        // What belongs to one payment starts empty, the password too: a password belongs to
        // one cheque, never to every row of a list. The rest (switches, account, bank, supervisor
        // ...) comes from the base cheque unless the row says otherwise.
        for (const ChequeFieldInfo& field : kind.fields)
            if (field.perPayment)
                cheque.setText(field.index, QString());
        // A row is filled from the list, never from the kept cheque the base may have been.
        cheque.setSourceId(0);
        const auto roleOf = [&](int field) {
            return field >= 0 ? kind.fields[size_t(field)].role : FieldRole::None;
        };
        const int payee = cheque.field(FieldRole::Payee);
        const int amountField = cheque.field(FieldRole::Amount);
        CollectedPrompts prompts;
        QDate day = today;
        bool amountGiven = false;
        std::optional<qsizetype> capitalsColumn;  // a column of the amount in capitals
        for (qsizetype c = 0; c < list.headings.size(); ++c) {
            const auto inThisColumn = qScopeGuard([&] { problemsIn(c); });
            const int column = list.columns[c];
            const QString& value = row.cells[c];
            const QString& heading = list.headings[c];
            if (column == PaymentList::kIssueDate) {
                if (value.trimmed().isEmpty())
                    continue;
                day = paymentDate(value);
                if (!day.isValid())
                    entry.problems << problem(row.line, heading, value, u"日期填写错误"_s);
                continue;
            }
            if (column < 0 || value.trimmed().isEmpty())
                continue;
            const FieldRole role = roleOf(column);
            amountGiven = amountGiven || role == FieldRole::Amount;
            // What prints must be what the cell holds and what it shows.
            if (const auto shown = row.cellProblems.constFind(int(c));
                shown != row.cellProblems.cend()) {
                entry.problems << problem(row.line, heading, value, *shown);
                continue;
            }
            if (const std::optional<char32_t> bad = unstorableCharacter(value)) {
                entry.problems << problem(row.line, heading, value,
                                          u"含有无法保存的字符（%1）"_s.arg(codePointName(*bad)));
                continue;
            }
            if (role == FieldRole::AmountInCapitals) {
                capitalsColumn = c;  // compared with the figures' capitals when all are read
                continue;
            }
            QString text = value;
            if (role == FieldRole::Amount || role == FieldRole::StubAmount) {
                QString reason;
                const std::optional<QString> amount = paymentAmount(value, &reason);
                if (!amount) {
                    entry.problems << problem(row.line, heading, value, reason);
                    continue;
                }
                text = role == FieldRole::Amount ? *amount : FormatFigures(*amount);
            }
            const int limit = kind.fields[size_t(column)].maxLength;
            if (limit > 0 && characterCount(text) > limit)
                entry.problems << problem(row.line, heading, value, u"超过%1个字"_s.arg(limit));
            cheque.setText(column, text);
            prompts.messages.clear();
            // Leaving a field of the stub does nothing; leaving any other runs its rules.
            if (partOf(kind, column) != kStubPart)
                leaveBodyField(cheque, column, prompts);
            for (const QString& message : prompts.messages)
                entry.problems << problem(row.line, heading, value, message.chopped(1));
        }
        if (day.isValid()) {
            prompts.messages.clear();
            enterDate(cheque, day, prompts);
            if (!prompts.messages.isEmpty() || !issueDate(cheque).isValid())
                entry.problems << problem(row.line, issueDateColumn(), day.toString(Qt::ISODate),
                                          u"日期填写错误"_s);
        }
        problemsIn(columnOf(PaymentList::kIssueDate));
        // The fields already named as missing, which the print check below would name again.
        QSet<int> missing;
        // A payee cell refused for what it holds is named once, not as a missing payee as well.
        if (cheque.textOf(FieldRole::Payee).trimmed().isEmpty() && !faulty(columnOf(payee))) {
            entry.problems << problem(row.line, u"收款人"_s, QString(), u"缺少收款人"_s);
            missing << payee;
        }
        problemsIn(columnOf(payee));
        // A row may name only the payee: the book of counterparties gives the account and the
        // bank it leaves empty. Without them the row has nowhere to pay into.
        const QString payeeName = cheque.textOf(FieldRole::Payee).trimmed();
        if (!payeeName.isEmpty() && !faulty(columnOf(payee))) {
            const auto known = book.constFind(payeeName);
            for (const FieldRole role : {FieldRole::PayeeAccount, FieldRole::PayeeBank}) {
                const int field = cheque.field(role);
                if (field < 0 || !cheque.text(field).trimmed().isEmpty() || faulty(columnOf(field)))
                    continue;
                const QString fromBook = known == book.cend()              ? QString()
                                         : role == FieldRole::PayeeAccount ? known->account
                                                                           : known->bank;
                if (!fromBook.trimmed().isEmpty()) {
                    cheque.setText(field, fromBook);
                    continue;
                }
                const QString lacking =
                    u"缺少"_s + kind.fields[size_t(field)].identifier.toString();
                entry.problems << problem(row.line, nameInList(kind, field, list), QString(),
                                          known == book.cend()
                                              ? lacking + u"，往来单位中没有“%1”"_s.arg(payeeName)
                                              : lacking);
                missing << field;
                problemsIn(columnOf(field));
            }
        }
        if (!amountGiven)
            entry.problems << problem(row.line, u"金额"_s, QString(), u"缺少金额"_s);
        problemsIn(columnOf(amountField));
        // The capitals always print from the figures; a list that names others is wrong.
        if (capitalsColumn && amountGiven && !faulty(columnOf(amountField))) {
            const QString& named = row.cells[*capitalsColumn];
            const QString derived = cheque.printedText(cheque.field(FieldRole::AmountInCapitals));
            if (named.trimmed() != derived)
                entry.problems << problem(row.line, list.headings[*capitalsColumn], named,
                                          u"与小写金额%1的大写（%2）不符"_s.arg(
                                              cheque.textOf(FieldRole::Amount), derived));
            problemsIn(*capitalsColumn);
        }
        cheque.deriveCapitals();
        // The checks of the cheque as a whole, for what its cells did not already refuse: the
        // amount and the date as a print checks them, and whether every field fits.
        if (amountGiven && !faulty(columnOf(amountField)) &&
            !faulty(columnOf(PaymentList::kIssueDate))) {
            prompts.messages.clear();
            int fault = amountField;
            const bool whole = checkChequeBeforePrint(cheque, prompts, &fault);
            // The amount and the date are named as the amount, as they always were; another
            // field (an account, a bank) by its own column, or by its name when the list has none.
            using enum FieldRole;
            const bool amountOrDate =
                QList{Amount, IssueYear, IssueMonth, IssueDay, StubYear, StubMonth, StubDay}
                    .contains(roleOf(fault));
            const int named = amountOrDate ? amountField : fault;
            const qsizetype c = columnOf(named);
            const QString name = amountOrDate   ? u"金额"_s
                                 : c < noColumn ? list.headings[c]
                                                : kind.fields[size_t(named)].identifier.toString();
            if (!whole && !missing.contains(fault))
                for (const QString& message : prompts.messages)
                    entry.problems
                        << problem(row.line, name, cheque.text(named), message.chopped(1));
            problemsIn(amountOrDate
                           ? columnOf(fault == amountField ? amountField : PaymentList::kIssueDate)
                           : c);
        }
        QList<int> overflowing = findOverflowingFields(cheque, format, measure);
        // The backs print as a job of their own, after every front: one that would not fit
        // is found now, before any front is printed.
        if (hasBack(kind))
            overflowing += findOverflowingFields(cheque, format, measure, nullptr, PartSide::Back);
        overflowing.removeIf([&](int field) { return faulty(columnOf(field)); });
        // A stub field that only repeats its body field (the row has no cell of its own for it)
        // is on the paper because the stub prints with the body: the row names the body's cell,
        // the stub's blank and the way out, rather than a column the list does not have.
        QList<std::pair<int, int>> copied;  // stub field, the body field it repeats
        overflowing.removeIf([&](int field) {
            const int body = copiedFromBody(kind, field, list, row);
            if (body >= 0 && !faulty(columnOf(body)))
                copied.append({field, body});
            return body >= 0;
        });
        if (!overflowing.isEmpty())
            entry.problems << problem(row.line, fieldIdentifiers(cheque.kind(), overflowing),
                                      cheque.text(overflowing.front()), u"超出支票栏位"_s);
        problemsIn(overflowing.isEmpty() ? noColumn : columnOf(overflowing.front()));
        for (const auto& [stub, body] : copied) {
            const qsizetype c = columnOf(body);
            const QString name =
                c < noColumn ? list.headings[c] : kind.fields[size_t(body)].identifier.toString();
            const QString value = c < noColumn ? row.cells[c] : cheque.text(body);
            entry.problems << u"第%1行，%2“%3”：%4"_s.arg(row.line).arg(name, value,
                                                                        stubTooSmall(kind, stub));
            problemsIn(c);
        }
        QList<qsizetype> order(entry.problems.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return problemColumns[a] < problemColumns[b];
        });
        QStringList inColumnOrder;
        for (const qsizetype i : order)
            inColumnOrder << entry.problems[i];
        entry.problems = inColumnOrder;
        cheques << entry;
    }
    return cheques;
}
