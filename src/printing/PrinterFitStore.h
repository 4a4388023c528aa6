#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "PrinterFit.h"

class QSettings;

// The fits of this machine's printers, kept in the user's settings (a fit belongs to the
// printer, not to a print format, so formats stay the same in every office). Each printer has
// one for pages printed crosswise (portrait) and one for pages lying lengthwise (landscape):
// the paper's axes are the printer's own the other way round.
struct KeptFit {
    enum class State { None, Kept, Damaged };
    State state = State::None;
    PrinterFit fit;  // when kept
};

KeptFit keptPrinterFit(QSettings& settings, const QString& printer, bool landscape);
// False when the settings could not be written.
bool keepPrinterFit(QSettings& settings, const QString& printer, bool landscape,
                    const PrinterFit& fit);
bool forgetPrinterFits(QSettings& settings, const QString& printer);

struct PrinterFitRow {
    QString printer;
    bool landscape = true;
    KeptFit kept;
};
// Every kept fit (of `printer` alone when it is not empty), by printer, landscape first.
QList<PrinterFitRow> keptPrinterFits(QSettings& settings, const QString& printer = {});

// "纵向打印" (a landscape page) or "横向打印", as the window's switch names the feed.
QString orientationName(bool landscape);
// "左右 101.20%、+1.50 毫米；上下 98.50%、−2.00 毫米".
QString describeFit(const PrinterFit& fit);
