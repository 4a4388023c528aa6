#include "StartingCheque.h"

#include "Clock.h"
#include "Document.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "HistoryRecords.h"
#include "OptionFlags.h"

bool startCheque(Document& cheque, const ChequeStart& start, Database& db, Prompts& prompts,
                 const Clock& clock, ProgressIndicator& progress) {
    if (start.historyRow) {
        if (!LoadHistoryRecord(db, cheque, *start.historyRow, prompts, clock))
            return false;
    } else {
        loadLastInput(db, cheque, prompts, clock);
    }
    leaveBodyField(cheque, cheque.field(FieldRole::Amount), prompts);
    if (start.switches)
        applyOptionFlags(cheque, *start.switches);
    if (!start.format.isEmpty())
        ApplyFormatFonts(db, start.format, cheque, progress);
    return true;
}
