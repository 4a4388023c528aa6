#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "DocumentKind.h"

// A kind's picture geometry in mm (origin at each part's top-left corner), kept in the
// resource its kind names (resources/kinds/<kind>/geometry.json): the parts and their sizes,
// the blank places that the fields fall into, the boxes of the fields written one character to
// a box, the preprinted words and the window's check boxes that stand on the form.
struct ChequeGeometry {
    struct Part {
        QString name;  // as the kind's DocumentPart names it
        QSizeF size;
        int row = 0;  // the window shows row 1 (a cheque's back) below row 0
    };
    struct Place {
        QString field;  // the field's identifier
        QString part;
        QRectF rect;
    };
    // The boxes of one field, such as the eleven of the amount in figures (亿 to 分).
    struct BoxSet {
        QString field;
        QString part;
        QList<double> lefts;  // each box's left edge, left to right
        double right = 0;     // the last box's right edge
        double top = 0;
        double bottom = 0;
        QStringList headings;  // printed above the boxes, one a box
    };
    struct SwitchBox {
        int field;    // the field that the box keeps off the paper
        QRectF rect;  // on that field's part
    };
    struct Label {
        QString text;
        QString part;
        QPointF at;  // top-left
        double points;
        QString colour;  // "#rrggbb" where the form prints it in its own colour, else empty
    };
    // The gap (mm) the window leaves between two rows of parts.
    static constexpr double kRowGap = 6;

    QList<Part> parts;  // left to right as the window shows them, row by row
    QList<BoxSet> boxSets;
    QList<Place> places;
    QList<Label> labels;
    QList<SwitchBox> switchBoxes;

    // The part of this name, or null when the geometry has none.
    const Part* part(QStringView name) const;
    // Its size; empty when the geometry has no such part.
    QSizeF partSize(QStringView name) const;
    // How far right of its row's first part the window shows the part (the widths of those
    // before it in its row).
    double partLeft(QStringView name) const;
    // How far below the first row the window shows the part (the heights of the rows above
    // it, each with the gap).
    double partTop(QStringView name) const;
    // The size of the parts of `row` side by side, as tall as the tallest.
    QSizeF rowSize(int row) const;
    // The size of every row, one below the other with the gaps.
    QSizeF shownSize() const;
    // The place of the field with this identifier, or null when the geometry has none.
    const Place* placeOf(QStringView field) const;
    // The boxes of the field with this identifier, or null when it has none.
    const BoxSet* boxesOf(QStringView field) const;

    // The kind's geometry, read from its resource once and kept for the program's life.
    static const ChequeGeometry& of(const DocumentKind& kind);
    // The transfer cheque's.
    static const ChequeGeometry& standard();
};
