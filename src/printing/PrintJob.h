#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QString>

class Cheque;
class Clock;
class Database;
class PrinterAccess;
class Prompts;
struct PrintFormat;

// The answers a print needs: the cashier's in the window, the options' on the command line.
class PrintQuestions {
public:
    virtual ~PrintQuestions() = default;

    // Whether to print although these fields (position indices) do not fit.
    virtual bool printOverflowing(const QList<int>& fields) = 0;
    // Chooses the printer, which must answer: false when cancelled, or when it did not answer
    // (then `noAnswer` is set, after the message).
    virtual bool choosePrinter(bool& noAnswer) = 0;
    // The confirmation that a blank cheque is loaded; `summary` ("共 N 张支票…") for a batch.
    virtual bool confirmStart(const QString& summary) = 0;
    // Whether to keep the `count` printed cheques in the history.
    virtual bool keep(int count) = 0;
    // Keeping them failed (the database's message was shown): whether to try again.
    virtual bool tryAgain() = 0;
    // Whether to print the calibration square.
    virtual bool printCalibrationSquare() = 0;
    // The endorsement's text; empty when cancelled.
    virtual QString endorsementText() = 0;
};

// What a print came to.
struct PrintResult {
    bool printed = false;            // the spooler accepted the job (a PDF file was written)
    bool keptAsAsked = true;         // false when keeping was asked for and did not happen
    bool recorded = true;            // false when the outcome could not be journalled (the
                                     // entry still shows 打印中)
    QList<qint64> kept;              // the history rows of the kept cheques
    std::optional<int> faultyField;  // refused for this field's text (amount or date)
};

// One print, from the checks to the record, for the window and the command line alike:
// checks, the overflow question, the printer, the start confirmation, the journal entry
// (committed as 打印中 before anything is sent), drawing, the spooler's answer, the keep
// question with its retries, and the outcome, recorded with the kept rows in one transaction.
// Every attempt is journalled; nothing is sent that the journal does not hold.
class PrintJob final {
public:
    PrintJob(Database& db, Prompts& prompts, const Clock& clock, PrinterAccess& printers,
             PrintQuestions& questions, const PrintFormat& format);

    // Told after each page of a batch is drawn.
    std::function<void(int page, int pages)> pageDrawn;

    PrintResult printCheque(const Cheque& cheque);
    // The cheques of a payment list, already checked, as one document with a page each.
    PrintResult printBatch(const QList<Cheque>& cheques);
    // An endorsement with the cheque's endorsement parameters and the format's margins.
    PrintResult printEndorsement(const Cheque& cheque);
    PrintResult printCalibration();

private:
    // Whether any printer is installed; otherwise says so and journals the refusal.
    bool printerReady(const QString& kind, const QList<Cheque>& cheques);
    // The cashier's (or the options') printer; a cancelled or failed choice is journalled.
    bool printerChosen(const QString& kind, const QList<Cheque>& cheques);
    PrintResult send(const QString& kind, const QList<Cheque>& cheques,
                     const std::function<bool(class PrintSurface&)>& draw);
    bool journal(const QString& kind, const QList<Cheque>& cheques, const QString& outcome);
    // Runs `work` (a transaction) until it succeeds or the cashier stops trying.
    bool withRetries(const std::function<bool()>& work);

    Database& m_db;
    Prompts& m_prompts;
    const Clock& m_clock;
    PrinterAccess& m_printers;
    PrintQuestions& m_questions;
    const PrintFormat& m_format;
};
