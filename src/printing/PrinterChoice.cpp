#include "PrinterChoice.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "Prompts.h"
#include "Spooler.h"

using namespace Qt::StringLiterals;

QStringList installedPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

QString defaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

bool checkPrinterInstalled(Prompts& prompts) {
    if (!installedPrinters().isEmpty())
        return true;
    prompts.message(u"您的电脑没有连接打印机！"_s, u"打印机错误"_s, PromptButtons::Ok);
    return false;
}

QString selectPrinterByName(QPrinter& printer, const QString& name, Prompts& prompts) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (!info.isNull()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(info.printerName());
        // A queue that is stopped or rejects jobs would refuse the cheque once drawn.
        if (printer.isValid() && info.state() != QPrinter::Error &&
            queueTakesJobs(info.printerName()))
            return info.printerName();
    }
    prompts.message(u"没有正常连接打印机！"_s, {}, PromptButtons::Ok);
    return {};
}
