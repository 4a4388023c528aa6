#pragma once

#include <optional>

#include <QHash>
#include <QString>

class Database;

// What each user carries from one run to the next, kept apart from other users of a shared
// database: the current format's name and the last input (history column -> text). The user
// is the database login on a server, the system login for a file. A user without a state of
// their own starts from the one stored for the user '' (a shared database's from before).

// The user's current format; empty when the user has none yet, nothing when the database
// fails.
std::optional<QString> storedCurrentFormat(Database& db);
bool storeCurrentFormat(Database& db, const QString& name);

// The user's last input; empty when the user has none yet, nothing when the database fails.
std::optional<QHash<QString, QString>> storedLastInput(Database& db);
bool storeLastInput(Database& db, const QHash<QString, QString>& texts);

// The last input as stored: a JSON object of history column -> text.
QString lastInputText(const QHash<QString, QString>& texts);
