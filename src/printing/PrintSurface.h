#pragma once

#include <QString>

#include "TextFont.h"

enum class PaperSize { A3, A4 };

// What drawing a cheque needs from a printer. Every length is in millimetres from the origin
// of the surface: the top-left of the printable area on a real printer, the paper corner in a
// PDF file or a preview. A failed operation makes ok() false; later operations may then do
// nothing.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // The printer's device name; empty for a file or a picture.
    virtual QString deviceName() const = 0;
    // False when the printer refuses the size.
    virtual bool setPaperSize(PaperSize size) = 0;
    virtual bool setLandscape(bool landscape) = 0;

    // Font and text colour for what follows.
    virtual void setFont(const TextFont& font) = 0;
    virtual double textWidth(const QString& text) = 0;
    virtual double textHeight(const QString& text) = 0;
    // Draws the text with the top-left of its first character cell at (x, y).
    virtual void drawText(double x, double y, const QString& text) = 0;
    // A filled box from (x1, y1) to (x2, y2) in the colour (red in the lowest byte).
    virtual void fillBox(double x1, double y1, double x2, double y2, quint32 color) = 0;

    // What is drawn next belongs to this field (position index); a measuring surface keeps
    // each field's extent apart.
    virtual void beginField(int /*field*/) {}

    // Finishes the page and begins another of the same size in the same document; false when
    // that failed.
    virtual bool newPage() = 0;
    // Finishes the page and sends it; false when that failed.
    virtual bool endDocument() = 0;
    // Throws away what was drawn since the last end of document.
    virtual void abandonDocument() = 0;

    virtual bool ok() const = 0;
};
