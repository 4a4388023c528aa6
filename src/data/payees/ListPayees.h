#pragma once

#include <optional>

#include <QHash>
#include <QString>

#include "DocumentKind.h"
#include "PayeeBook.h"

class Database;
class Document;
struct PaymentList;

// The book of counterparties' entries of the payees named by the rows of a payment list of
// `kind` that leave the payee's account or bank empty, by full name (the cell without the
// blanks around it): what those rows take from the book. None for a kind that does not name the
// payee's account and bank (the transfer cheque). Nothing after the database's message.
std::optional<QHash<QString, Payee>> listedPayees(Database& db, const PaymentList& list,
                                                  const DocumentKind& kind);

// Gives the payee's account and bank that a document of a kind naming them (the deposit slip)
// leaves empty the values of its payee's entry in the book. Whether a text changed; false too
// for a name the book has not, and after the database's message.
bool fillPayeeFromBook(Database& db, Document& document);
