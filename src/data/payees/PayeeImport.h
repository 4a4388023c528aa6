#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class Database;

// Fills the book of counterparties from a list or from the history.

struct PayeeImportCount {
    int added = 0;
    int updated = 0;  // entries already in the book whose values the list changed
};

// The headings a list of counterparties may have; 全称 is needed.
inline const QStringList kPayeeListHeadings = {QStringLiteral("全称"), QStringLiteral("打印名称"),
                                               QStringLiteral("账号"), QStringLiteral("开户银行"),
                                               QStringLiteral("用途"), QStringLiteral("备注")};

// Imports a CSV file or the first visible sheet of an .xlsx, read as a payment list is, under
// the headings of kPayeeListHeadings: a full name the book has not is added, one it has takes
// the row's values that are not empty. All in one transaction, or nothing: a list that cannot
// be read, an unknown heading or one given twice, a hidden row, a row without a full name or
// with one given twice refuse the whole list, `why` naming each bad row ("第3行：缺少全称").
// `why` is empty after the database's message.
std::optional<PayeeImportCount> importPayeeList(Database& db, const QString& path, QString* why);

// Adds every payee of the history's transfer cheques (收款人全称, without the blanks around it)
// that the book has not, in one transaction. A name whose entry was removed stays removed: a
// removal was meant. Nothing after the database's message.
std::optional<PayeeImportCount> importHistoryPayees(Database& db);
