#pragma once

#include <QString>

class Database;

// Whether the program is new to this database and printer: no cheque in the history yet, and no
// calibration square of `format` ever printed (the journal keeps every one). The margins of a
// format that was never calibrated are only the shipped guess, so the cashier is told where to
// start. False when the database cannot tell, so that nothing is said by mistake.
bool firstUse(Database& db, const QString& format);
