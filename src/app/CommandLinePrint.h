#pragma once

#include <memory>
#include <optional>

#include <QPrinter>
#include <QSettings>

#include "OutputFile.h"
#include "PrintJob.h"
#include "PrinterAccess.h"
#include "Verbs.h"

class Database;

// Where a printing verb prints, and its options answering the print's questions: the printer
// of --printer (or the system's default), or the PDF file of --pdf, written completely or not
// at all; --allow-overflow prints fields that do not fit, --allow-date an issue date a bank would
// not pay today, --save keeps the cheques; the same payee and amount are printed twice when
// asked. Nobody is there to load a cheque or to try again.
class CommandLinePrint final : public PrinterAccess, public PrintQuestions {
public:
    // `db` holds the cheque books that a full number of --number is looked up in.
    CommandLinePrint(const Arguments& args, const Io& io, Prompts& prompts, Database& db);

    // Where the job goes, for the journal: the PDF file, or the printer asked for.
    QStringList installedPrinters() const override;
    QString currentPrinter() const override { return m_target; }
    bool choosePrinter(const QString& name, Prompts& prompts) override;
    QPrinter& printer() override { return m_pdf ? m_pdfPrinter : m_system.printer(); }
    void beginDocument() override;
    void beforeDocumentEnds() override;
    bool documentAccepted() override;
    // The fit kept on this machine for the printer of --printer; none for --pdf.
    KeptFit printerFit(bool landscape) const override {
        return m_args.has(QStringLiteral("--pdf")) ? KeptFit{} : m_system.printerFit(landscape);
    }

    bool printOverflowing(const QString& fields) override;
    bool printOnUnusualDate(const QStringList& dates) override;
    bool printAgainToday(const QString&, const QString&) override { return true; }
    bool printBatchAgainToday(const QStringList&) override { return true; }
    bool choosePrinter(bool& noAnswer) override;
    bool confirmStart(const QString&) override { return true; }
    bool keep(int) override { return m_args.has(QStringLiteral("--save")); }
    // A record that could not be written (a server restarting, a file another program holds)
    // is tried again a few times, waiting longer each time, before the print gives up.
    bool tryAgain() override;
    bool printCalibrationSquare() override { return true; }
    QString endorsementText() override { return m_args.inputs.value(0); }
    // A doubtful identity number is said on the error output, and the back prints.
    bool printDoubtfulIdentity(const QStringList& doubts) override;
    // The number of --number: a serial of up to eight digits, or the whole number of any open
    // book of the account (its prefix, then the eight digits), else the next one when it is
    // taken; a cheque that printed is printed well, and kept with --save. A number refused is
    // not asked again: the print stops with the reason.
    std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& offered,
                                                     const QString& refusal) override;
    std::optional<Outcome> numberedOutcome(const QString&, QString*) override {
        return Outcome::PrintedWell;
    }
    bool keepNumbered() override { return m_args.has(QStringLiteral("--save")); }
    std::optional<QList<SpoiledCheque>> spoiledInBatch(const QList<Document>&,
                                                       const QStringList&) override {
        return QList<SpoiledCheque>();  // every cheque that printed is printed well
    }

private:
    const Arguments& m_args;
    const Io& m_io;
    Prompts& m_prompts;
    Database& m_db;
    QString m_target;
    std::unique_ptr<QSettings> m_settings;  // the printers' fits
    SystemPrinters m_system;
    QPrinter m_pdfPrinter{QPrinter::HighResolution};
    std::optional<OutputFile> m_pdf;
    int m_retries = 0;  // the records tried again so far
};
