#pragma once

#include <array>

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// The standard cheque's geometry in mm (origin at each part's top-left corner), kept in
// resources/cheque-geometry.json: the blank places that the fields fall into, the eleven
// figure boxes and the preprinted words.
struct ChequeGeometry {
    struct Place {
        QString field;
        bool onStub;
        QRectF rect;
    };
    struct Label {
        QString text;
        bool onStub;
        QPointF at;  // top-left
        double points;
    };
    QSizeF body;
    QSizeF stub;
    std::array<double, 11> boxLefts{};
    double boxRight = 0;
    double boxTop = 0;
    double boxBottom = 0;
    QStringList boxHeadings;
    QList<Place> places;
    QList<Label> labels;

    static const ChequeGeometry& standard();
};
