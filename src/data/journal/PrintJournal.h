#pragma once

#include <optional>

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "DocumentKind.h"
#include "GridRoutines.h"

class BoundGrid;
class Document;
class Clock;
class Database;

// Every print attempt, kept for the auditor: a cheque, an endorsement or a calibration square,
// from the window or the command line, printed, failed or cancelled. The table only ever grows;
// the database itself refuses to change or delete its rows.
struct JournalEntry {
    QString kind;    // the document kind's journalJob, kEndorsementJob, kCalibrationJob,
                     // kFitSheetJob
    QString target;  // the printer's name, or the PDF file's path
    QString format;
    QString outcome;     // kPrinted, kPrintFailed, or what stopped it
    QVariant historyId;  // the history row when the cheque was kept
    QString fields;      // the cheque's fields without the password
};

// The job of a transfer cheque's print; each kind of document names its own (journalJob).
inline const QString kChequeJob = transferCheque().journalJob.toString();
inline const QString kEndorsementJob = QStringLiteral("背书");
inline const QString kCalibrationJob = QStringLiteral("校准");
// The sheet a printer's scale and offset are measured or checked by.
inline const QString kFitSheetJob = QStringLiteral("精确校准");
inline const QString kPrinted = QStringLiteral("已打印");
inline const QString kPrintFailed = QStringLiteral("打印失败");
// Written before a print is sent; the one mark that later changes, once, to its outcome.
inline const QString kPrinting = QStringLiteral("打印中");
// A print stopped before the printer: "已取消：" and the step (the question or dialog).
QString cancelledAt(const QString& step);
// A print the program refused: "未打印：" and the reason.
QString refusedFor(const QString& reason);

// The cheque's fields as "identifier=text" lines, the password left out; a character the
// database would not keep (see storableText) is written as U+FFFD.
QString journalFields(const Document& cheque);

// Appends the entry, stamped with the clock's time to the second. False after the database's
// message when it could not be written.
bool appendJournal(Database& db, const Clock& clock, const JournalEntry& entry);

// Appends one entry per cheque of a batch, all in one transaction; `historyIds` holds the kept
// rows' IDs, or is empty when the batch was not kept.
bool appendBatchJournal(Database& db, const Clock& clock, const QList<Document>& cheques,
                        const JournalEntry& batch, const QList<qint64>& historyIds);

// Whether the journal and the register are as the program made them (in a file; a server
// keeps its own rules): otherwise says what was changed, and nothing may be printed.
bool recordsIntact(Database& db);
// The entries of journalPrinting without its check, as part of the caller's transaction (which
// takes the cheques' numbers with them).
std::optional<QList<qint64>> writePrintingEntries(Database& db, const Clock& clock,
                                                  const JournalEntry& job,
                                                  const QStringList& fields);

// Before a print is sent: its entries (one per cheque of a batch, `fields` each; one entry
// with `job.fields` otherwise), marked kPrinting, committed in one transaction. Their IDs, or
// nothing after the database's message: then nothing may be printed.
std::optional<QList<qint64>> journalPrinting(Database& db, const Clock& clock,
                                             const JournalEntry& job,
                                             const QStringList& fields = {});

// Records the outcome (kPrinted or kPrintFailed) of entries marked kPrinting, each with its
// history row when kept (`historyIds` empty: not kept). Part of the caller's transaction, so
// that kept rows and the outcome commit together. False after the database's message.
bool recordOutcome(Database& db, const QList<qint64>& journalIds, const QString& outcome,
                   const QList<qint64>& historyIds = {});

// The documents of the kind that went to the printer on `day` (journalled under the kind's job
// as printed, or still printing), each as its payee and its amount in figure form joined by a
// line break (paymentKey). Nothing after the database's message.
std::optional<QSet<QString>> paymentsPrintedOn(Database& db, const QDate& day,
                                               const DocumentKind& kind = transferCheque());
QString paymentKey(const QString& payee, const QString& figures);

// The journal's headings, and its rows newest first, between the two days (either may be
// invalid: no limit). Newest means written last: a clock set back never reorders the journal,
// and the days filter by the time recorded.
QStringList journalHeadings();
QList<QStringList> journalRows(Database& db, const QDate& from, const QDate& to);

// The same rows as a bound grid, for the journal window and its export.
void buildJournalGrid(BoundGrid& grid, Database& db, const QDate& from, const QDate& to,
                      GridTools tools);
