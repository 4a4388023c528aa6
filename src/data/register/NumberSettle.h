#pragma once

#include <QString>

#include "DocumentKind.h"

class Clock;
class Database;

// A number left 打印中 by a print that no longer runs (killed, or the machine or server went
// down before the outcome was written) is settled by the cashier who looked at the paper.
enum class Settlement {
    Printed,  // the cheque came out well: kept as its journal entry recorded it
    Voided,   // it did not, or it is spoiled: the number is voided for a reason
};

// Settles the account's `serial`: for Printed, its history row (made from its journal entry,
// on the day of that entry), its register line 已打印 and its entry's outcome, in one
// transaction; for Voided, as a void by hand. False with the reason when the number is not
// 打印中, a running print still holds it, no journal entry names it (Printed), or the reason
// is empty (Voided); false after the database's message when it failed. The serial is one of
// the account's books of `kind`, whose journal entries it reads.
bool settleNumber(Database& db, const Clock& clock, const QString& account, qint64 serial,
                  Settlement settlement, const QString& reason, QString* why,
                  const DocumentKind& kind = transferCheque());
