#pragma once

#include <QDir>
#include <QPrinterInfo>
#include <QSet>
#include <QStringList>

#include "MissingSetUp.h"

// The print queues that .ci/run sets up: CUPS with printer-driver-cups-pdf, which writes each
// job as a PDF into its output folder; the second has A4 as its only paper; the third refuses
// every job (cupsreject); the fourth is the first at 1200 dpi, where a glyph lands within 0.02 mm
// of where it was sent.
inline const QString kPdfQueue = QStringLiteral("ChequePDF");
inline const QString kFineQueue = QStringLiteral("ChequeFine");
inline const QString kA4Queue = QStringLiteral("ChequeA4");
inline const QString kRejectingQueue = QStringLiteral("ChequeRejecting");

#define SKIP_WITHOUT_QUEUE(queue)                                                           \
    do {                                                                                    \
        if (!QPrinterInfo::availablePrinterNames().contains(queue))                         \
            SKIP_FOR_MISSING_SET_UP(QStringLiteral("no CUPS queue ") + (queue) +            \
                                    QStringLiteral(" (cupsd with printer-driver-cups-pdf, " \
                                                   "see .ci/run)"));                        \
    } while (false)

// The folder where cups-pdf writes the PDFs of this account's jobs: the Out line of its
// configuration, where ${HOME} is the home folder the system gives the account (cups-pdf writes
// as the job's owner, whatever $HOME says), or cups-pdf's own default without that line.
QString cupsPdfOutputFolder(
    const QString& configuration = QStringLiteral("/etc/cups/cups-pdf.conf"));

// A document title of this process's own: other tests print through the same queues meanwhile.
QString uniqueTitle(const QString& name);

// The jobs this account sends to the print queues from now on, and the PDFs cups-pdf writes for
// them. A job is found by the beginning of its title.
class PrintedJobs final {
public:
    PrintedJobs();

    // The jobs sent since.
    int sent(const QString& title) const;
    // Waits until every job sent since has ended (30 s at most), then returns the PDF cups-pdf
    // wrote for it: complete, as the job ends once its PDF is written. Empty when there is none.
    QString awaitPdf(const QString& title) const;
    // The PDFs written since.
    QStringList pdfs(const QString& title) const;

private:
    QDir m_out;
    QStringList m_pdfsBefore;
    QSet<int> m_jobsBefore;
};
