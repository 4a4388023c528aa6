#pragma once

#include <optional>

#include <QString>
#include <QtGlobal>

class Document;
class Clock;
class Database;
class ProgressIndicator;
class Prompts;

// Where the cheque that the window or a verb starts from takes its parts; a part left out
// keeps what the cheque has.
struct ChequeStart {
    // The ID of the kept cheque printed again (not negative); none: the user's last input, or
    // on a first start the fields as they stand.
    std::optional<qint32> historyRow = std::nullopt;
    // The switches as one text (see applyOptionFlags).
    std::optional<QString> switches = std::nullopt;
    // The print format whose fonts and colours the fields take.
    QString format = {};
};

// Fills the cheque to start from: the texts of the history row or of the last input, today's
// date written into the date fields, the amount left as if typed (its figure form, capitals
// and stub), then the switches and the format's fonts. False, with the cheque unchanged, when
// no history row has that ID. A failing database and an amount that is no amount show their
// messages through `prompts`.
bool startCheque(Document& cheque, const ChequeStart& start, Database& db, Prompts& prompts,
                 const Clock& clock, ProgressIndicator& progress);
