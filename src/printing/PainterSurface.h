#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QFont>
#include <QPainter>
#include <QPointF>

#include "PrintSurface.h"
#include "PrinterFit.h"

class QPaintDevice;
class QPrinter;

// Drawing through QPainter on a printer (a real one or a PDF file) or on a picture. The
// document begins with the first thing drawn, as on a printer.
class PainterSurface final : public PrintSurface {
public:
    // On a printer. A PDF file's origin is the paper corner; a real printer's is the top-left
    // of its printable area.
    explicit PainterSurface(QPrinter& printer);
    // On a picture; `offset` (mm) is where the surface's origin lies on the picture.
    PainterSurface(QPaintDevice& device, QPointF offset);
    ~PainterSurface() override;

    QString deviceName() const override;
    bool setPaperSize(PaperSize size) override;
    bool setLandscape(bool landscape) override;
    void setFont(const TextFont& font) override;
    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    void drawText(double x, double y, const QString& text) override;
    void fillBox(double x1, double y1, double x2, double y2, quint32 color) override;
    bool newPage() override;
    bool endDocument() override;
    void abandonDocument() override;
    bool ok() const override { return m_ok; }

    // Sends every position through the printer's fit: a point meant at p on the paper goes to
    // (p − offset) / scale on each axis, the surface's origin lying at `paperOrigin` (mm) on the
    // paper. What is measured (text widths) stays as meant.
    void setCorrection(const PrinterFit& fit, QPointF paperOrigin) {
        m_correction = fit;
        m_paperOrigin = paperOrigin;
    }

    // Run just before the document ends (the spooler's answer is readied there).
    void setBeforeEnd(std::function<void()> beforeEnd) { m_beforeEnd = std::move(beforeEnd); }

private:
    bool begin();
    double pixelsPerMm() const;
    QPointF toDevice(double x, double y) const;

    QPrinter* m_printer = nullptr;
    QPaintDevice* m_device;
    QPointF m_offset;
    QPainter m_painter;
    QFont m_font;
    QColor m_color = Qt::black;
    bool m_ok = true;
    std::optional<PrinterFit> m_correction;
    QPointF m_paperOrigin;
    std::function<void()> m_beforeEnd;
};

// The Qt font of a field's font; the Windows Chinese names resolve to installed faces.
QFont toQFont(const TextFont& font);
