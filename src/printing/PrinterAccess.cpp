#include "PrinterAccess.h"

#include "PrinterChoice.h"

using namespace Qt::StringLiterals;

SystemPrinters::SystemPrinters(QSettings* fits) : m_fits(fits), m_current(defaultPrinterName()) {
    // Without a default printer the first installed one is offered.
    if (m_current.isEmpty())
        m_current = ::installedPrinters().value(0);
    m_printer.setDocName(u"chequeprint"_s);
    m_printer.setCreator(u"chequeprint"_s);
}

QStringList SystemPrinters::installedPrinters() const {
    return ::installedPrinters();
}

bool SystemPrinters::choosePrinter(const QString& name, Prompts& prompts) {
    m_current = name;
    return !selectPrinterByName(m_printer, name, prompts).isEmpty();
}

void SystemPrinters::beginDocument() {
    // The document's name, as last set from outside, with the job's numbers after it.
    if (!m_job || m_printer.docName() != m_job->title())
        m_docName = m_printer.docName();
    m_job.emplace(m_docName);
    m_printer.setDocName(m_job->title());
}

void SystemPrinters::beforeDocumentEnds() {
    if (m_job)
        m_job->beforeEnd();
}

bool SystemPrinters::documentAccepted() {
    return m_job && m_job->accepted(m_printer.printerName());
}

KeptFit SystemPrinters::printerFit(bool landscape) const {
    return m_fits ? keptPrinterFit(*m_fits, m_current, landscape) : KeptFit{};
}
