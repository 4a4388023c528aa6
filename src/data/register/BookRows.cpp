#include "BookRows.h"

#include "Database.h"

using namespace Qt::StringLiterals;

namespace {

const QString kBookColumns = u"ID, 账号, 前缀, 起始号码, 终止号码, 领用日期, 已结束, 种类"_s;

ChequeBook bookFrom(const QSqlQuery& row) {
    ChequeBook book;
    book.id = row.value(0).toLongLong();
    book.account = row.value(1).toString();
    book.prefix = row.value(2).toString();
    book.first = row.value(3).toLongLong();
    book.last = row.value(4).toLongLong();
    book.received = QDate::fromString(row.value(5).toString(), Qt::ISODate);
    book.closed = row.value(6).toInt() != 0;
    book.kind = row.value(7).toString();
    return book;
}

}  // namespace

std::optional<QList<ChequeBook>> selectBooks(Database& db, const QString& where,
                                             const QVariantList& values) {
    std::optional<QSqlQuery> rows = db.select(
        u"SELECT "_s + kBookColumns + u" FROM 支票簿"_s + where + u" ORDER BY 账号, 起始号码"_s,
        values);
    if (!rows)
        return std::nullopt;
    QList<ChequeBook> books;
    while (rows->next())
        books << bookFrom(*rows);
    return books;
}
