#pragma once

#include <QSettings>
#include <QStringList>

#include "PrinterAccess.h"
#include "Prompts.h"

// A printer seam for tests: printers by name, each "printing" into a PDF file; a printer
// named in `unreachable` does not answer, and with `refuseJobs` the spooler takes nothing;
// with `fits`, a printer kept there prints through its fit.
class PdfPrinters final : public PrinterAccess {
public:
    explicit PdfPrinters(QString pdfPath, QStringList names = {QStringLiteral("测试打印机")})
        : m_pdf(std::move(pdfPath)), m_names(std::move(names)), m_current(m_names.value(0)) {}

    QStringList unreachable;
    bool refuseJobs = false;    // the spooler refuses every document
    QSettings* fits = nullptr;  // where the printers' fits are kept, as on a machine

    KeptFit printerFit(bool landscape) const override {
        return fits ? keptPrinterFit(*fits, m_current, landscape) : KeptFit{};
    }
    QStringList installedPrinters() const override { return m_names; }
    QString currentPrinter() const override { return m_current; }
    bool choosePrinter(const QString& name, Prompts& prompts) override {
        m_current = name;
        if (!m_names.contains(name) || unreachable.contains(name)) {
            prompts.message(QStringLiteral("没有正常连接打印机！"), {}, PromptButtons::Ok);
            return false;
        }
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setOutputFileName(m_pdf);
        return true;
    }
    QPrinter& printer() override { return m_printer; }
    bool documentAccepted() override { return !refuseJobs; }

private:
    QString m_pdf;
    QStringList m_names;
    QString m_current;
    QPrinter m_printer{QPrinter::HighResolution};
};
