#pragma once

#include <optional>

#include <QList>
#include <QString>

class Database;

// The book of counterparties (往来单位): the parties the company pays and is paid by, and the
// company's own accounts (本单位). A removed entry stays, marked, so that what was taken from it
// keeps its meaning; only the entries not removed are found, listed and edited, and a full name
// names at most one of them.

struct Payee {
    qint64 id = 0;
    QString fullName = {};  // 全称
    QString printName = {};  // 打印名称: what a document prints instead of the full name, when set
    QString account = {};  // 账号
    QString bank = {};     // 开户银行
    QString purpose = {};  // 用途: what a payment to it is for, unless told
    QString notes = {};    // 备注
    bool own = false;      // 本单位: one of the company's own accounts
};

// Two clerks adding or renaming to one full name take turns (Database::lockName), so that the
// second is told the name is taken rather than refused by the unique index.
inline constexpr int kPayeeNameLocks = 20261211;

// What the user is told.
QString payeeExistsMessage(const QString& fullName);  // 往来单位已存在：…
QString noSuchPayeeMessage(const QString& fullName);  // 没有这个往来单位：…
inline const QString kNoFullName = QStringLiteral("缺少全称");

// Adds an entry, its full name without the blanks around it. Its ID; nothing, with the reason
// in `why`, when the name is empty or an entry has it, or (with `why` empty) after the
// database's message.
std::optional<qint64> addPayee(Database& db, const Payee& payee, QString* why);
// Writes `payee` over the entry of its ID. False, with the reason, when there is no such entry
// or another entry has its full name; with `why` empty after the database's message.
bool editPayee(Database& db, const Payee& payee, QString* why);
// Marks the entry of the full name removed. False, with the reason, when there is none.
bool removePayee(Database& db, const QString& fullName, QString* why);

// The entry of exactly this full name; nothing when there is none. False after the database's
// message.
bool findPayee(Database& db, const QString& fullName, std::optional<Payee>* found);
// The entries, by full name; with a text, those whose full name, account or bank contains it
// (Latin letters in either case). Nothing after the database's message.
std::optional<QList<Payee>> payees(Database& db, const QString& containing = {});
