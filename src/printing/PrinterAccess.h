#pragma once

#include <optional>

#include <QPrinter>
#include <QString>
#include <QStringList>

#include "PrinterFitStore.h"
#include "Spooler.h"

class Prompts;
class QSettings;

// The printers the window may print on and the printer a job goes to. The window and its
// printer dialog reach printers only through here, so that tests can put a PDF file behind.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;

    // The installed printers, in the system's order.
    virtual QStringList installedPrinters() const = 0;
    // The current printer: the one last chosen, at first the system's default (or the first
    // installed printer when there is no default).
    virtual QString currentPrinter() const = 0;
    // Makes `name` the current printer and tests that it answers. False after
    // "没有正常连接打印机！" when it does not; it stays the current printer all the same.
    virtual bool choosePrinter(const QString& name, Prompts& prompts) = 0;
    // The printer of the current printer, for the next document.
    virtual QPrinter& printer() = 0;

    // A document's life on the printer, as the print job tells it: before it is drawn, just
    // before it ends, and right after it ended well. The last answers whether the spooler
    // accepted the job (a PDF file: whether it was written whole).
    virtual void beginDocument() {}
    virtual void beforeDocumentEnds() {}
    virtual bool documentAccepted() { return true; }

    // The fit kept for the current printer, for a page lying lengthwise (`landscape`) or
    // crosswise; none for a file.
    virtual KeptFit printerFit(bool /*landscape*/) const { return {}; }
};

// The system's printers (CUPS on Linux, the spooler on Windows).
class SystemPrinters final : public PrinterAccess {
public:
    // The printers' fits are read from `fits` (none without).
    explicit SystemPrinters(QSettings* fits = nullptr);

    QStringList installedPrinters() const override;
    QString currentPrinter() const override { return m_current; }
    bool choosePrinter(const QString& name, Prompts& prompts) override;
    QPrinter& printer() override { return m_printer; }
    void beginDocument() override;
    void beforeDocumentEnds() override;
    bool documentAccepted() override;
    KeptFit printerFit(bool landscape) const override;

private:
    QSettings* m_fits;
    QPrinter m_printer{QPrinter::HighResolution};
    QString m_current;
    QString m_docName;
    std::optional<SpoolerJob> m_job;
};
