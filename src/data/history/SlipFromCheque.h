#pragma once

#include <optional>

#include <QString>

#include "Document.h"

class Clock;
class Database;

// A deposit slip filled from a kept transfer cheque (history row `chequeId`), to go to the bank
// with it: dated today (in figures, as the slip writes its date); the drawer's account and bank
// the cheque's; the drawer's name the one the last slip of that account carried, else the
// company's own entry of that account in the book of counterparties (its print name when it has
// one); the payee the cheque's, with the account and bank of its entry in the book, else those
// of the last slip to it; the cheque's amount, number (when it was printed on one), kind and a
// count of one. What cannot be found stays empty. The slip's source is the cheque's row.
// Nothing, with the reason in `why`, for a row that is missing or no kept transfer cheque, or
// when the database fails (after its message).
std::optional<Document> slipFromCheque(Database& db, qint64 chequeId, const Clock& clock,
                                       QString* why);
