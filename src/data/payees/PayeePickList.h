#pragma once

#include <QString>
#include <QStringList>

class Database;

// The names a payee field's pick list offers for a kind of document: the book's entries not
// removed, the most used first (used: how many of the kind's history rows carry the name), then
// the names of the kind's history that the book has not, in order. A name is offered once,
// without the blanks around it; an empty one not at all. Nothing after the database's message.
QStringList payeePickList(Database& db, const QString& kind);
