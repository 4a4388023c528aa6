#include "PrinterFitStore.h"

#include <cmath>

#include <QSettings>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString kGroup = u"打印机精确校准"_s;

// A printer's name may hold characters the settings take for a path ("\\server\queue").
QString printerKey(const QString& printer) {
    return QString::fromLatin1(QUrl::toPercentEncoding(printer));
}

QString slotKey(const QString& printer, bool landscape) {
    return kGroup + u'/' + printerKey(printer) + u'/' + orientationName(landscape);
}

// The four numbers as they are kept: scale and offset across, then down.
std::optional<PrinterFit> parseFit(const QString& text) {
    const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    double numbers[4];
    for (int k = 0; k < 4; ++k) {
        bool ok = false;
        numbers[k] = parts[k].toDouble(&ok);
        if (!ok || !std::isfinite(numbers[k]))
            return std::nullopt;
    }
    const PrinterFit fit{{numbers[0], numbers[1]}, {numbers[2], numbers[3]}};
    // Only what a fit may store is taken: anything else was written by another hand.
    if (!acceptableFit(fit))
        return std::nullopt;
    return fit;
}

}  // namespace

KeptFit keptPrinterFit(QSettings& settings, const QString& printer, bool landscape) {
    const QVariant value = settings.value(slotKey(printer, landscape));
    if (!value.isValid())
        return {};
    const std::optional<PrinterFit> fit = parseFit(value.toString());
    if (!fit)
        return {KeptFit::State::Damaged, {}};
    return {KeptFit::State::Kept, *fit};
}

bool keepPrinterFit(QSettings& settings, const QString& printer, bool landscape,
                    const PrinterFit& fit) {
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    settings.setValue(slotKey(printer, landscape),
                      QStringList{number(fit.across.scale), number(fit.across.offset),
                                  number(fit.down.scale), number(fit.down.offset)}
                          .join(u' '));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool forgetPrinterFits(QSettings& settings, const QString& printer) {
    settings.remove(kGroup + u'/' + printerKey(printer));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QList<PrinterFitRow> keptPrinterFits(QSettings& settings, const QString& printer) {
    settings.beginGroup(kGroup);
    QStringList printers;
    for (const QString& key : settings.childGroups())
        printers << QUrl::fromPercentEncoding(key.toLatin1());
    settings.endGroup();
    printers.sort();
    QList<PrinterFitRow> rows;
    for (const QString& name : printers) {
        if (!printer.isEmpty() && name != printer)
            continue;
        for (const bool landscape : {true, false}) {
            const KeptFit kept = keptPrinterFit(settings, name, landscape);
            if (kept.state != KeptFit::State::None)
                rows << PrinterFitRow{name, landscape, kept};
        }
    }
    return rows;
}

QString orientationName(bool landscape) {
    // As the window's switch names the feed: a cheque fed lengthwise lies on a landscape page.
    return landscape ? u"纵向打印"_s : u"横向打印"_s;
}

QString describeFit(const PrinterFit& fit) {
    const auto axis = [](const QString& name, const AxisFit& a) {
        return name + u' ' + QString::number(a.scale * 100, 'f', 2) + u"%、"_s +
               signedMillimetres(a.offset) + u" 毫米"_s;
    };
    return axis(u"左右"_s, fit.across) + u"；"_s + axis(u"上下"_s, fit.down);
}
