// The print job's cheques on the numbers of a cheque book: each print takes a number and the
// cashier says what came of it; a batch takes consecutive numbers and its spoiled cheques go
// again on the next ones.
#include "PrintJob.h"

#include <algorithm>
#include <numeric>

#include "AmountText.h"
#include "BatchPrint.h"
#include "ChequeCheck.h"
#include "ChequePrinter.h"
#include "ChequeRegister.h"
#include "Clock.h"
#include "Database.h"
#include "Document.h"
#include "HistoryRecords.h"
#include "PrintFormat.h"
#include "PrintJournal.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

// The numbers a print holds while its cheques print (see Database::holdNumber), let go when
// the print is over, however it ends.
class HeldNumbers final {
public:
    explicit HeldNumbers(Database& db) : m_db(db) {}
    ~HeldNumbers() { releaseAll(); }
    HeldNumbers(const HeldNumbers&) = delete;
    HeldNumbers& operator=(const HeldNumbers&) = delete;

    // False, with the reason, when the number cannot be held: then it may not print.
    bool hold(const TakenNumber& number, QString* why) {
        if (!m_db.holdNumber(number.id)) {
            *why = u"无法将号码 %1 标记为正在打印，不能打印。"_s.arg(number.text());
            return false;
        }
        m_ids << number.id;
        return true;
    }
    void releaseAll() {
        for (const qint64 id : std::as_const(m_ids))
            m_db.releaseNumber(id);
        m_ids.clear();
    }

private:
    Database& m_db;
    QList<qint64> m_ids;
};

}  // namespace

PrintResult PrintJob::printNumbered(const Document& cheque) {
    const QList<Document> cheques{cheque};
    const QString account = cheque.textOf(FieldRole::DrawerAccount);
    const QString kind = cheque.kind().id.toString();
    const QString job = documentJob(cheques);
    PrintResult result;
    std::optional<qint64> replaces;  // the spoiled cheque's number, printed again on the next
    QString refusal;                 // why the number the cashier named could not be taken
    for (;;) {
        QString why;
        const std::optional<TakenNumber> offered = offeredNumber(m_db, account, &why, kind);
        std::optional<PrintQuestions::LoadedNumber> loaded;
        if (offered) {
            loaded = m_questions.confirmNumberedStart(*offered, refusal);
            if (!loaded) {
                journal(job, cheques,
                        refusal.isEmpty() ? cancelledAt(u"打印开始提示"_s) : refusedFor(refusal));
                return result;
            }
        }
        HeldNumbers held(m_db);
        std::optional<TakenNumber> taken;
        const NumberTaking take = [&](QStringList& fields) {
            held.releaseAll();  // a transaction run again takes its number again
            taken = takeNumber(m_db, m_clock, account, loaded->serial, &why, replaces, kind);
            if (!taken || !held.hold(*taken, &why))
                return false;
            fields.first() += u"\n支票号码="_s + taken->text();
            return true;
        };
        bool spoiled = false;
        const bool printedWell = loaded && printOnNumber(cheque, take, taken, result, spoiled);
        if (!taken && loaded && loaded->serial && !why.isEmpty()) {
            // A number the cashier named and the book refused: asked again, with the reason.
            refusal = why;
            continue;
        }
        if (!taken) {
            // Without a reason, the database failed and said so.
            if (!why.isEmpty()) {
                m_prompts.message(why, {}, PromptButtons::Ok);
                journal(job, cheques, refusedFor(why));
            }
            return result;
        }
        refusal.clear();
        if (printedWell)
            result.numbers << taken->text();
        if (!spoiled)
            return result;
        replaces = taken->id;
    }
}

bool PrintJob::printOnNumber(const Document& cheque, const NumberTaking& take,
                             std::optional<TakenNumber>& number, PrintResult& result,
                             bool& spoiled) {
    const QList<Document> cheques{cheque};
    const QString job = documentJob(cheques);
    for (;;) {
        const bool taking = !number;
        QStringList fields{journalFields(cheque)};
        if (!taking)
            fields.first() += u"\n支票号码="_s + number->text();
        QList<qint64> entries;
        const std::optional<bool> printed = journalAndSend(
            job, cheques, fields,
            [&](PrintSurface& surface) { return drawChequeFields(surface, cheque, m_format); },
            entries, taking ? take : NumberTaking());
        if (!printed) {
            // Nothing was sent. A number taken with the entry went back with it; one taken
            // before (a reprint) goes all the same: a number that printed is never reused.
            if (taking)
                number.reset();
            else
                voidTakenNumber(m_db, m_clock, number->id, u"未能记入打印日志"_s);
            return false;
        }
        if (!*printed) {
            result.recorded = withRetries([&] {
                return m_db.atomically([&] {
                    return recordOutcome(m_db, entries, kPrintFailed) &&
                           voidTakenNumber(m_db, m_clock, number->id, kPrintFailed);
                });
            });
            return false;
        }
        result.printed = true;
        QString reason;
        const std::optional<PrintQuestions::Outcome> outcome =
            m_questions.numberedOutcome(number->text(), &reason);
        if (!outcome) {
            result.recorded = withRetries([&] { return recordOutcome(m_db, entries, kPrinted); });
            return false;
        }
        switch (*outcome) {
            case PrintQuestions::Outcome::PrintAgain:
                result.recorded = withRetries([&] {
                    return m_db.atomically([&] {
                        return recordOutcome(m_db, entries, kPrinted) &&
                               numberReprinted(m_db, number->id);
                    });
                });
                continue;
            case PrintQuestions::Outcome::Spoiled:
                spoiled = true;
                result.recorded = withRetries([&] {
                    return m_db.atomically([&] {
                        return recordOutcome(m_db, entries, kPrinted) &&
                               voidTakenNumber(m_db, m_clock, number->id, reason);
                    });
                });
                return false;
            case PrintQuestions::Outcome::PrintedWell:
                break;
        }
        const QDate issue = issueDate(cheque);
        const bool keep = m_questions.keepNumbered();
        result.keptAsAsked = withRetries([&] {
            return m_db.atomically([&] {
                result.kept.clear();
                return (!keep || saveHistoryRecords(m_db, cheques, m_clock.now(), &result.kept,
                                                    {number->text()})) &&
                       numberPrinted(
                           m_db, number->id,
                           {issue.isValid() ? issue.toString(Qt::ISODate) : QString(),
                            cheque.textOf(FieldRole::Payee), cheque.textOf(FieldRole::Amount),
                            result.kept.isEmpty() ? QVariant(QMetaType(QMetaType::LongLong))
                                                  : QVariant(result.kept.first())}) &&
                       recordOutcome(m_db, entries, kPrinted, result.kept);
            });
        });
        if (!result.keptAsAsked)
            result.kept.clear();
        result.recorded = result.keptAsAsked;
        return result.keptAsAsked;  // not kept: the entry still shows 打印中, so does the number
    }
}

PrintResult PrintJob::printNumberedBatch(const QList<Document>& cheques) {
    PrintResult result;
    QList<int> places(cheques.size());  // where each cheque still to print stands in the batch
    std::iota(places.begin(), places.end(), 0);
    printNumberedRounds(cheques, places, result);
    // Whatever stopped the batch, the payments still to print are named: nothing of a batch
    // leaves the screen unprinted without a word.
    result.unprinted = places;
    if (result.printed && !places.isEmpty()) {
        QStringList named;
        for (const int k : places)
            named << u"%1　%2"_s.arg(cheques[k].textOf(FieldRole::Payee),
                                     groupedFigures(cheques[k].textOf(FieldRole::Amount)));
        m_prompts.message(u"以下%1笔未打印：\n%2"_s.arg(places.size()).arg(named.join(u'\n')), {},
                          PromptButtons::Ok);
    }
    return result;
}

void PrintJob::printNumberedRounds(const QList<Document>& cheques, QList<int>& places,
                                   PrintResult& result) {
    const QString account = cheques.first().textOf(FieldRole::DrawerAccount);
    const QString kind = cheques.first().kind().id.toString();
    const QString job = documentJob(cheques);
    QList<Document> pending = cheques;
    QList<qint64> replaces;  // the register rows of the spoiled cheques printed again
    while (!pending.isEmpty()) {
        QString why;
        const std::optional<QList<TakenNumber>> offered =
            offeredNumbers(m_db, account, int(pending.size()), &why, kind);
        if (offered &&
            !m_questions.confirmStart(
                batchSummary(pending) +
                u"\n号码 %1 至 %2"_s.arg(offered->first().text(), offered->last().text()))) {
            journal(job, pending, cancelledAt(u"打印开始提示"_s));
            return;
        }
        // The numbers are chosen again as they are taken: another batch may have taken the
        // offered ones meanwhile.
        HeldNumbers held(m_db);
        std::optional<QList<TakenNumber>> taken;
        const NumberTaking take = [&](QStringList& fields) {
            held.releaseAll();
            taken =
                takeBatchNumbers(m_db, m_clock, account, int(pending.size()), replaces, &why, kind);
            if (!taken)
                return false;
            for (qsizetype k = 0; k < taken->size(); ++k) {
                if (!held.hold((*taken)[k], &why))
                    return false;
                fields[k] += u"\n支票号码="_s + (*taken)[k].text();
            }
            return true;
        };
        QStringList fields;
        for (const Document& cheque : pending)
            fields << journalFields(cheque);
        const int pages = int(pending.size());
        QList<qint64> entries;
        const std::optional<bool> printed =
            offered ? journalAndSend(
                          job, pending, fields,
                          [&](PrintSurface& surface) {
                              return printChequeBatch(surface, pending, m_format, [&](int page) {
                                  if (pageDrawn)
                                      pageDrawn(page, pages);
                              });
                          },
                          entries, take)
                    : std::nullopt;
        if (!printed) {
            // Nothing was sent and no number taken; without a reason, the database said why.
            if (!why.isEmpty()) {
                m_prompts.message(why, {}, PromptButtons::Ok);
                journal(job, pending, refusedFor(why));
            }
            return;
        }
        QStringList numbers;
        for (const TakenNumber& number : *taken)
            numbers << number.text();
        if (!*printed) {
            // Nothing the spooler took was printed: the numbers go all the same.
            result.recorded = withRetries([&] {
                return m_db.atomically([&] {
                    if (!recordOutcome(m_db, entries, kPrintFailed))
                        return false;
                    for (const TakenNumber& number : *taken)
                        if (!voidTakenNumber(m_db, m_clock, number.id, kPrintFailed))
                            return false;
                    return true;
                });
            });
            return;
        }
        result.printed = true;
        // Each cheque of the batch is spoiled at most once, in the batch's order.
        const std::optional<QList<SpoiledCheque>> named =
            m_questions.spoiledInBatch(pending, numbers);
        if (!named) {
            // Printed, and nobody said how: the journal says printed, the numbers stay 打印中.
            result.recorded = withRetries([&] { return recordOutcome(m_db, entries, kPrinted); });
            places.clear();
            return;
        }
        QList<SpoiledCheque> spoiled;
        for (int k = 0; k < pending.size(); ++k) {
            const auto it = std::find_if(named->begin(), named->end(),
                                         [k](const SpoiledCheque& s) { return s.place == k; });
            if (it != named->end())
                spoiled << SpoiledCheque{k, it->reason.trimmed()};
        }
        if (!settleBatch(pending, *taken, entries, spoiled, result)) {
            places.clear();  // printed, though what came of them is not recorded
            return;
        }
        QList<Document> again;
        QList<int> againPlaces;
        replaces.clear();
        for (const SpoiledCheque& cheque : spoiled) {
            again << pending[cheque.place];
            againPlaces << places[cheque.place];
            replaces << (*taken)[cheque.place].id;
        }
        pending = again;
        places = againPlaces;
    }
}

bool PrintJob::settleBatch(const QList<Document>& cheques, const QList<TakenNumber>& numbers,
                           const QList<qint64>& entries, const QList<SpoiledCheque>& spoiled,
                           PrintResult& result) {
    QList<bool> isSpoiled(cheques.size(), false);
    for (const SpoiledCheque& cheque : spoiled)
        isSpoiled[cheque.place] = true;
    QList<Document> good;
    QList<int> goodPlaces;
    QStringList printedOn;
    for (int k = 0; k < cheques.size(); ++k)
        if (!isSpoiled[k]) {
            good << cheques[k];
            goodPlaces << k;
            printedOn << numbers[k].text();
        }
    const bool keep = m_questions.keepNumbered();
    QList<qint64> kept;
    result.keptAsAsked = withRetries([&] {
        return m_db.atomically([&] {
            kept.clear();
            if (keep && !saveHistoryRecords(m_db, good, m_clock.now(), &kept, printedOn))
                return false;
            QList<qint64> goodEntries;
            for (qsizetype g = 0; g < good.size(); ++g) {
                const int k = goodPlaces[g];
                const QDate issue = issueDate(cheques[k]);
                goodEntries << entries[k];
                if (!numberPrinted(
                        m_db, numbers[k].id,
                        {issue.isValid() ? issue.toString(Qt::ISODate) : QString(),
                         cheques[k].textOf(FieldRole::Payee), cheques[k].textOf(FieldRole::Amount),
                         keep ? QVariant(kept[g]) : QVariant(QMetaType(QMetaType::LongLong))}))
                    return false;
            }
            QList<qint64> spoiledEntries;
            for (const SpoiledCheque& cheque : spoiled) {
                spoiledEntries << entries[cheque.place];
                if (!voidTakenNumber(m_db, m_clock, numbers[cheque.place].id, cheque.reason))
                    return false;
            }
            return (goodEntries.isEmpty() || recordOutcome(m_db, goodEntries, kPrinted, kept)) &&
                   (spoiledEntries.isEmpty() || recordOutcome(m_db, spoiledEntries, kPrinted));
        });
    });
    result.recorded = result.keptAsAsked;
    if (result.keptAsAsked) {
        result.kept += kept;
        result.numbers += printedOn;
    }
    return result.keptAsAsked;
}
