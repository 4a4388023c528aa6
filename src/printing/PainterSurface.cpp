#include "PainterSurface.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>

#include "Colors.h"

namespace {

constexpr double kMmPerInch = 25.4;

}  // namespace

QFont toQFont(const TextFont& font) {
    QFont qfont(font.name);
    qfont.setPointSizeF(font.size > 0 ? font.size : 12);
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikethrough);
    return qfont;
}

PainterSurface::PainterSurface(QPrinter& printer) : m_printer(&printer), m_device(&printer) {
    printer.setFullPage(printer.outputFormat() == QPrinter::PdfFormat);
}

PainterSurface::PainterSurface(QPaintDevice& device, QPointF offset)
    : m_device(&device), m_offset(offset) {}

PainterSurface::~PainterSurface() {
    if (m_painter.isActive())
        m_painter.end();
}

QString PainterSurface::deviceName() const {
    if (!m_printer || m_printer->outputFormat() == QPrinter::PdfFormat)
        return {};
    return m_printer->printerName();
}

bool PainterSurface::setPaperSize(PaperSize size) {
    if (!m_printer)
        return true;
    const QPageSize page(size == PaperSize::A3 ? QPageSize::A3 : QPageSize::A4);
    // A print queue takes any size as a custom one, so its own list of paper decides. A PDF
    // file takes every size; a printer that lists no paper at all is taken at its word.
    if (m_printer->outputFormat() == QPrinter::NativeFormat) {
        const QList<QPageSize> supported = QPrinterInfo(*m_printer).supportedPageSizes();
        const bool listed = std::any_of(
            supported.begin(), supported.end(),
            [&](const QPageSize& s) { return s.id() == page.id() || s.isEquivalentTo(page); });
        if (!supported.isEmpty() && !listed)
            return false;
    }
    const bool set = m_printer->setPageSize(page);
    return set && m_printer->pageLayout().pageSize().id() == page.id();
}

bool PainterSurface::setLandscape(bool landscape) {
    if (!m_printer)
        return true;
    return m_printer->setPageOrientation(landscape ? QPageLayout::Landscape
                                                   : QPageLayout::Portrait);
}

bool PainterSurface::begin() {
    if (m_painter.isActive())
        return true;
    if (!m_ok)
        return false;
    if (!m_painter.begin(m_device)) {
        m_ok = false;
        return false;
    }
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter.setRenderHint(QPainter::Antialiasing);
    return true;
}

double PainterSurface::pixelsPerMm() const {
    return m_device->logicalDpiX() / kMmPerInch;
}

QPointF PainterSurface::toDevice(double x, double y) const {
    QPointF at(x, y);
    if (m_correction)
        at = m_correction->corrected(at + m_paperOrigin) - m_paperOrigin;
    return (at + m_offset) * pixelsPerMm();
}

void PainterSurface::setFont(const TextFont& font) {
    m_font = toQFont(font);
    m_color = toQColor(font.color);
}

double PainterSurface::textWidth(const QString& text) {
    return QFontMetricsF(m_font, m_device).horizontalAdvance(text) / pixelsPerMm();
}

double PainterSurface::textHeight(const QString&) {
    return QFontMetricsF(m_font, m_device).height() / pixelsPerMm();
}

void PainterSurface::drawText(double x, double y, const QString& text) {
    if (!begin())
        return;
    m_painter.setFont(m_font);
    m_painter.setPen(m_color);
    // The text's top lies at y: its baseline is one ascent lower.
    const QPointF baseline = toDevice(x, y) + QPointF(0, QFontMetricsF(m_font, m_device).ascent());
    m_painter.drawText(baseline, text);
}

void PainterSurface::fillBox(double x1, double y1, double x2, double y2, quint32 color) {
    if (!begin())
        return;
    m_painter.fillRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), toQColor(color));
}

bool PainterSurface::newPage() {
    // A picture has one page only.
    if (!m_printer || !begin())
        return false;
    m_ok = m_printer->newPage();
    return m_ok;
}

bool PainterSurface::endDocument() {
    if (!begin())
        return false;
    if (m_beforeEnd)
        m_beforeEnd();
    return m_painter.end() && m_ok;
}

void PainterSurface::abandonDocument() {
    if (m_printer && m_painter.isActive())
        m_printer->abort();
    if (m_painter.isActive())
        m_painter.end();
}
