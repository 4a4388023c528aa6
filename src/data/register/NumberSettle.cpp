#include "NumberSettle.h"

#include "ChequeCheck.h"
#include "ChequeFields.h"
#include "ChequeRegister.h"
#include "Database.h"
#include "Document.h"
#include "HistoryRecords.h"
#include "PrintJournal.h"

using namespace Qt::StringLiterals;

namespace {

// The cheque as its journal entry's "identifier=text" lines recorded it: a field without a
// line was empty. The entry keeps texts, not switches: a date it lacks was not printed.
Document chequeOfEntry(const DocumentKind& kind, const QString& content) {
    Document cheque(kind);
    for (size_t field = 0; field < kind.fields.size(); ++field)
        cheque.setText(int(field), {});
    for (const QString& line : content.split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        int field = -1;
        for (const ChequeFieldInfo& info : kind.fields)
            if (equals > 0 && info.identifier == QStringView(line).left(equals))
                field = info.index;
        if (field >= 0)
            cheque.setText(field, line.mid(equals + 1));
    }
    if (!stubDate(cheque).isValid())
        for (const DocumentPart& part : kind.parts)
            if (part.name == u"stub" && part.shownBySwitch >= 0)
                cheque.setChk(part.shownBySwitch, 0);
    if (!issueDate(cheque).isValid())
        for (const FieldRole part :
             {FieldRole::IssueYear, FieldRole::IssueMonth, FieldRole::IssueDay})
            if (const int box = switchKeepingOff(cheque.kind(), cheque.field(part)); box >= 0)
                cheque.setChk(box, 1);
    return cheque;
}

// Keeps the cheque of the number's last journal entry: its history row, the register's
// 已打印 with what it carried, and the entry's outcome when it still shows 打印中.
bool keepFromJournal(Database& db, const DocumentKind& kind, const TakenNumber& number,
                     QString* why) {
    std::optional<QSqlQuery> entry = db.select(
        u"SELECT ID, 时间, 结果, 内容 FROM 打印日志 WHERE 种类 = ? AND 内容 LIKE ? "
        u"ORDER BY ID DESC LIMIT 1"_s,
        {kind.journalJob.toString(), u"%\n支票号码="_s + number.text()});
    if (!entry)
        return false;
    if (!entry->next()) {
        *why = u"打印日志中没有号码 %1 的记录，只能作废。"_s.arg(number.text());
        return false;
    }
    const qint64 entryId = entry->value(0).toLongLong();
    const QDateTime printedAt =
        QDateTime::fromString(entry->value(1).toString(), u"yyyy-MM-dd HH:mm:ss"_s);
    const bool outcomeOpen = entry->value(2).toString() == kPrinting;
    const Document cheque = chequeOfEntry(kind, entry->value(3).toString());
    QList<qint64> kept;
    if (!saveHistoryRecords(db, {cheque}, printedAt, &kept, {number.text()}))
        return false;
    const QDate issue = issueDate(cheque);
    return numberPrinted(db, number.id,
                         {issue.isValid() ? issue.toString(Qt::ISODate) : QString(),
                          cheque.textOf(FieldRole::Payee), cheque.textOf(FieldRole::Amount),
                          QVariant(kept.first())}) &&
           (!outcomeOpen || recordOutcome(db, {entryId}, kPrinted, kept));
}

}  // namespace

bool settleNumber(Database& db, const Clock& clock, const QString& typedAccount, qint64 serial,
                  Settlement settlement, const QString& reason, QString* why,
                  const DocumentKind& kind) {
    const QString account = typedAccount.trimmed();  // an account is kept without blanks
    if (settlement == Settlement::Voided && reason.trimmed().isEmpty()) {
        *why = u"请填写作废原因。"_s;
        return false;
    }
    return db.atomically([&] {
        if (!lockAccountBooks(db, account))
            return false;
        std::optional<QSqlQuery> row = db.select(
            u"SELECT n.ID, b.ID, b.前缀, n.状态 FROM 支票号码 n JOIN 支票簿 b ON b.ID = n.支票簿ID "
            u"WHERE b.账号 = ? AND b.种类 = ? AND n.号码 = ?"_s,
            {account, kind.id.toString(), serial});
        if (!row)
            return false;
        if (!row->next()) {
            *why = u"号码 %1 没有被取用过。"_s.arg(serialText(serial));
            return false;
        }
        TakenNumber number;
        number.id = row->value(0).toLongLong();
        number.book.id = row->value(1).toLongLong();
        number.book.prefix = row->value(2).toString();
        number.serial = serial;
        if (row->value(3).toString() != kNumberPrinting) {
            *why = u"号码 %1 %2，不需确认。"_s.arg(number.text(), row->value(3).toString());
            return false;
        }
        if (db.heldByAPrint(number.id) != false) {
            *why = u"号码 %1 正在打印，不能%2"_s.arg(
                number.text(), settlement == Settlement::Voided ? u"作废"_s : u"确认"_s);
            return false;
        }
        return settlement == Settlement::Printed
                   ? keepFromJournal(db, kind, number, why)
                   : voidTakenNumber(db, clock, number.id, reason.trimmed(), why);
    });
}
