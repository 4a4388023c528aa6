#include "SlipFromCheque.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include "Clock.h"
#include "Database.h"
#include "FieldInput.h"
#include "HistoryColumns.h"
#include "HistoryRecords.h"
#include "PayeeBook.h"

using namespace Qt::StringLiterals;

namespace {

// What a query's first row holds, its columns in order; an empty list when it has no row,
// nothing when the database failed (after its message).
std::optional<QStringList> firstRow(Database& db, const QString& sql, const QVariantList& values) {
    std::optional<QSqlQuery> query = db.select(sql, values);
    if (!query)
        return std::nullopt;
    QStringList texts;
    if (query->next())
        for (int c = 0; c < query->record().count(); ++c)
            texts << query->value(c).toString();
    return texts;
}

// The last kept slip whose `column` is `value` and whose `wanted` column is not empty: each
// lookup is a seek, from the newest, in an index led by the kind and the column (a server's
// index of the payee compares in the collation "C").
std::optional<QStringList> lastSlip(Database& db, const QString& column, const QString& value,
                                    const QString& wanted) {
    const QString compared =
        db.isServer() && column == u"收款人全称" ? column + u" COLLATE \"C\""_s : column;
    // A file would take the print dates' index for the test of the date and sort the slips.
    const QString printed = db.isServer() ? u"Dat"_s : u"+Dat"_s;
    return firstRow(db,
                    u"SELECT "_s + wanted + u" FROM 历史记录 WHERE 种类=? AND "_s + compared +
                        u"=? AND "_s + printed + u">'"_s + kLastInputDate + u"' AND "_s +
                        wanted.section(u',', 0, 0) + u"<>'' ORDER BY ID DESC LIMIT 1"_s,
                    {depositSlip().id.toString(), value});
}

void setField(Document& slip, QStringView identifier, const QString& text) {
    slip.setText(fieldByIdentifier(slip.kind(), identifier), text);
}

}  // namespace

std::optional<Document> slipFromCheque(Database& db, qint64 chequeId, const Clock& clock,
                                       QString* why) {
    const QString failed = u"读取历史记录失败"_s;
    const std::optional<QStringList> cheque =
        firstRow(db,
                 u"SELECT 种类, CASE WHEN Dat<='"_s + kLastInputDate +
                     u"' THEN 1 ELSE 0 END, 账号, 银行, 收款人全称, 金额, "_s +
                     kHistoryNumberColumn + u" FROM 历史记录 WHERE ID=?"_s,
                 {chequeId});
    if (!cheque) {
        *why = failed;
        return std::nullopt;
    }
    if (cheque->isEmpty()) {
        *why = u"没有第%1条历史记录"_s.arg(chequeId);
        return std::nullopt;
    }
    // The last input is no cheque that went to the bank.
    if (cheque->at(0) != transferCheque().id || cheque->at(1).toInt() != 0) {
        *why = u"第%1条历史记录不是转账支票"_s.arg(chequeId);
        return std::nullopt;
    }
    const QString& account = cheque->at(2);
    const QString& payee = cheque->at(4);

    Document slip(depositSlip());
    for (int i = 0; i < int(slip.kind().fields.size()); ++i)
        slip.setText(i, {});
    enterDate(slip, clock.today(), db.prompts());
    setField(slip, u"出票人账号", account);
    setField(slip, u"出票人开户银行", cheque->at(3));
    setField(slip, u"收款人全称", payee);
    slip.setTextOf(FieldRole::Amount, cheque->at(5));
    slip.deriveCapitals();
    setField(slip, u"票据种类", transferCheque().id.toString());
    setField(slip, u"票据张数", u"1"_s);
    setField(slip, u"票据号码", cheque->at(6));
    slip.setSourceId(chequeId);

    // The drawer's name as the last slip of the account wrote it, else the company's own entry.
    if (!account.isEmpty()) {
        const std::optional<QStringList> last = lastSlip(db, u"账号"_s, account, u"出票人全称"_s);
        if (!last) {
            *why = failed;
            return std::nullopt;
        }
        QString drawer = last->value(0);
        if (drawer.isEmpty()) {
            const std::optional<QStringList> own =
                firstRow(db,
                         u"SELECT 全称, 打印名称 FROM 往来单位 WHERE 账号=? AND 本单位=1 AND "
                         u"已删除=0 ORDER BY ID LIMIT 1"_s,
                         {account});
            if (!own) {
                *why = failed;
                return std::nullopt;
            }
            drawer = own->value(1).isEmpty() ? own->value(0) : own->value(1);
        }
        setField(slip, u"出票人全称", drawer);
    }
    // The payee's account and bank from its entry, else from the last slip to it.
    if (!payee.isEmpty()) {
        std::optional<Payee> entry;
        if (!findPayee(db, payee, &entry)) {
            *why = failed;
            return std::nullopt;
        }
        QStringList found = {entry ? entry->account : QString(), entry ? entry->bank : QString()};
        if (found[0].isEmpty()) {
            const std::optional<QStringList> last =
                lastSlip(db, u"收款人全称"_s, payee, u"收款人账号, 收款人开户银行"_s);
            if (!last) {
                *why = failed;
                return std::nullopt;
            }
            if (!last->isEmpty())
                found = *last;
        }
        setField(slip, u"收款人账号", found.value(0));
        setField(slip, u"收款人开户银行", found.value(1));
    }
    return slip;
}
