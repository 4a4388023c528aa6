#pragma once

#include <optional>

#include <QHash>
#include <QString>

class Database;

// The kind every row kept before there were kinds belongs to.
inline const QString kTransferCheque = QStringLiteral("转账支票");

// What each user carries from one run to the next, kept apart from other users of a shared
// database: for each kind of document, the current format's name and the last input (history
// column -> text). The user
// is the database login on a server, the system login for a file. A user without a state of
// their own starts from the one stored for the user '' (a shared database's from before).

// The kind of document the user worked on last; the transfer cheque when the user has none yet,
// nothing when the database fails.
std::optional<QString> storedCurrentKind(Database& db);
bool storeCurrentKind(Database& db, const QString& kind);

// The user's current format; empty when the user has none yet, nothing when the database
// fails.
std::optional<QString> storedCurrentFormat(Database& db, const QString& kind = kTransferCheque);
bool storeCurrentFormat(Database& db, const QString& name, const QString& kind = kTransferCheque);

// The user's last input; empty when the user has none yet, nothing when the database fails.
std::optional<QHash<QString, QString>> storedLastInput(Database& db,
                                                       const QString& kind = kTransferCheque);
bool storeLastInput(Database& db, const QHash<QString, QString>& texts,
                    const QString& kind = kTransferCheque);

// The last input as stored: a JSON object of history column -> text.
QString lastInputText(const QHash<QString, QString>& texts);
