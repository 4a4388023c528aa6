#pragma once

#include <functional>
#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

class Document;
class Clock;
struct TakenNumber;
class Database;
class PrinterAccess;
struct KeptFit;
class Prompts;
struct PrintFormat;

// A cheque of a numbered batch that came out spoiled: its place in the batch (from 0) and why
// its number is voided.
struct SpoiledCheque {
    int place;
    QString reason;
};

// The answers a print needs: the cashier's in the window, the options' on the command line.
class PrintQuestions {
public:
    virtual ~PrintQuestions() = default;

    // Whether to print although these fields (their identifiers, joined by "、") do not fit.
    virtual bool printOverflowing(const QString& fields) = 0;
    // Whether to print cheques whose issue date a bank would not pay today: later than today or
    // more than ten days before it (`dates`, as unusualIssueDate says each, for a batch led by
    // the cheque's place and payee).
    virtual bool printOnUnusualDate(const QStringList& dates) = 0;
    // Whether to print one more cheque to `payee` of `figures` (the figure form), when one was
    // printed today already.
    virtual bool printAgainToday(const QString& payee, const QString& figures) = 0;
    // The same for a batch: `payments` ("payee　￥12,345.67") were printed today already.
    virtual bool printBatchAgainToday(const QStringList& payments) = 0;
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
    // Whether to print backs whose identity numbers fail their check (`doubts`, as
    // identityNumberDoubt says each, for a batch led by the cheque's place and payee): a
    // warning, since a number may be right and the check not apply to it.
    virtual bool printDoubtfulIdentity(const QStringList& doubts) = 0;

    // With a cheque book for the cheque's account: the confirmation names the number of the
    // blank cheque to load, `offered`; the cashier may load another one of the book instead.
    // The serial loaded (none: whichever is next when the number is taken, for a printer fed
    // in the book's order), or nothing when cancelled. `refusal`, when not empty, says why the
    // number given the time before could not be taken: it is asked again.
    struct LoadedNumber {
        std::optional<qint64> serial;
    };
    virtual std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& offered,
                                                             const QString& refusal) = 0;
    // After the numbered cheque `number` printed, what came of it: printed well (kept in the
    // history), to be printed again on the same blank, or spoiled (`voidReason` says why);
    // nothing when no one said (the number then stays 打印中 in the register).
    enum class Outcome { PrintedWell, PrintAgain, Spoiled };
    virtual std::optional<Outcome> numberedOutcome(const QString& number, QString* voidReason) = 0;
    // Whether a numbered cheque that printed well goes into the history as well as the
    // register: in the window, printing well is keeping it.
    virtual bool keepNumbered() = 0;
    // After a numbered batch printed `cheques` (in order) on `numbers`: the cheques that came
    // out spoiled, each with the reason its number is voided for; none when every one printed
    // well. The spoiled ones are printed again on the next numbers. Nothing when no one said:
    // the numbers then stay 打印中 in the register, never taken for printed well.
    virtual std::optional<QList<SpoiledCheque>> spoiledInBatch(const QList<Document>& cheques,
                                                               const QStringList& numbers) = 0;
};

// What a print came to.
struct PrintResult {
    bool printed = false;            // the spooler accepted the job (a PDF file was written)
    bool keptAsAsked = true;         // false when keeping was asked for and did not happen
    bool recorded = true;            // false when the outcome could not be journalled (the
                                     // entry still shows 打印中)
    QList<qint64> kept;              // the history rows of the kept cheques
    std::optional<int> faultyField;  // refused for this field's text (amount, date, character)
    QStringList numbers;             // with a cheque book, the numbers printed well on
    QList<int> unprinted;            // the places (from 0) of a numbered batch's cheques that
                                     // did not print well: the book ran out, or a reprint of
                                     // spoiled ones was cancelled or failed
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

    PrintResult printCheque(const Document& cheque);
    // The cheques of a payment list, already checked, as one document with a page each.
    PrintResult printBatch(const QList<Document>& cheques);
    // The backs of cash cheques, in order, as one job with a page each, after their fronts: the
    // identity numbers checked (a doubt is asked about, never refused), the fields that do not
    // fit (for one back), the printer, the start; journalled under the kind's back job, each
    // entry linked to its cheque's history row, `historyRows[k]` (0: none). Nothing is kept:
    // the back's values are kept in the cheque's own row when its front is.
    PrintResult printBacks(const QList<Document>& cheques, const QList<qint64>& historyRows = {});
    // An endorsement with the cheque's endorsement parameters and the format's margins.
    PrintResult printEndorsement(const Document& cheque);
    PrintResult printCalibration();
    // The sheet a printer's scale and offset are measured by, on A4 lying lengthwise
    // (`landscape`) or crosswise, through the format's margins: uncorrected to be measured,
    // or (`check`) through the printer's kept fit to check it.
    PrintResult printFitSheet(bool landscape, bool check);

private:
    // The questions asked of every cheque before the printer is chosen: fields that do not
    // fit, an issue date a bank would not pay today, the same payee and amount printed today
    // already. False, journalled, when the print stops there.
    bool questionsAnswered(const QList<Document>& cheques);
    // Whether any printer is installed; otherwise says so and journals the refusal.
    bool printerReady(const QString& kind, const QList<Document>& cheques);
    // The cashier's (or the options') printer; a cancelled or failed choice is journalled, as is
    // a printer whose kept fit is damaged.
    bool printerChosen(const QString& kind, const QList<Document>& cheques);
    PrintResult send(const QString& kind, const QList<Document>& cheques,
                     const std::function<bool(class PrintSurface&)>& draw);
    // Takes the cheques' numbers inside the journal's transaction, adding each one to its
    // cheque's journal `fields`; false (the transaction undone) when they cannot be taken.
    using NumberTaking = std::function<bool(QStringList& fields)>;
    // Journals the job as 打印中 (`entries`), with `takeNumbers` in the same transaction, then
    // sends it: whether the spooler accepted it, after the failure's message when not;
    // nothing, sending nothing and taking no number, when the journal could not be written.
    std::optional<bool> journalAndSend(const QString& kind, const QList<Document>& cheques,
                                       const QStringList& fields,
                                       const std::function<bool(class PrintSurface&)>& draw,
                                       QList<qint64>& entries,
                                       const NumberTaking& takeNumbers = {});
    // A cheque whose account has a cheque book: each print takes a number of the book, and
    // the cashier says what came of it.
    PrintResult printNumbered(const Document& cheque);
    // A batch of one account with a cheque book: consecutive numbers, the range named before
    // printing; the cheques the cashier finds spoiled go again on the next numbers.
    PrintResult printNumberedBatch(const QList<Document>& cheques);
    // The rounds of a numbered batch: the cheques at `places` print, and those found spoiled go
    // again, until none is left or one round stops; `places` keeps those not printed well.
    void printNumberedRounds(const QList<Document>& cheques, QList<int>& places,
                             PrintResult& result);
    // Keeps the good cheques of a numbered job and voids the spoiled ones, with the outcome of
    // every entry, in one transaction.
    bool settleBatch(const QList<Document>& cheques, const QList<TakenNumber>& numbers,
                     const QList<qint64>& entries, const QList<SpoiledCheque>& spoiled,
                     PrintResult& result);
    // Prints the cheque on the number `take` takes with its journal entry (`number` then holds
    // it; it stays empty when none could be taken), until the cashier settles it: true when it
    // printed well and was kept, false when it was spoiled (`spoiled`) or the print failed.
    bool printOnNumber(const Document& cheque, const NumberTaking& take,
                       std::optional<TakenNumber>& number, PrintResult& result, bool& spoiled);
    bool journal(const QString& kind, const QList<Document>& cheques, const QString& outcome);
    // Whether the documents' pages lie lengthwise (landscape): as the cheques are fed, or for a
    // job of no document as the printer's page is set.
    bool pageLandscape(const QList<Document>& cheques);
    // The chosen printer's fit for the job's page (none while a sheet to be measured prints);
    // nothing, after saying so and journalling the refusal, when the kept fit is damaged.
    std::optional<KeptFit> usableFit(const QString& kind, const QList<Document>& cheques);
    // The journal's job of the documents' print: their kind's (a print holds one kind).
    static QString documentJob(const QList<Document>& cheques);
    // Whether the document's account has an open cheque book of its kind; false for a kind that
    // is not numbered, nothing when the books cannot be read.
    std::optional<bool> hasBook(const Document& cheque);
    // Runs `work` (a transaction) until it succeeds or the cashier stops trying.
    bool withRetries(const std::function<bool()>& work);

    Database& m_db;
    Prompts& m_prompts;
    const Clock& m_clock;
    PrinterAccess& m_printers;
    PrintQuestions& m_questions;
    const PrintFormat& m_format;
    bool m_applyFit = true;  // false while a sheet to be measured prints
};
