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
// figure boxes, the preprinted words and the window's check boxes that stand on the cheque.
// The amount in figures has eleven boxes on the cheque, 亿 to 分.
inline constexpr int kFigureBoxes = 11;

struct ChequeGeometry {
    struct Place {
        QString field;
        bool onStub;
        QRectF rect;
    };
    struct SwitchBox {
        int field;    // the body field that the box keeps off the paper
        QRectF rect;  // on the body
    };
    struct Label {
        QString text;
        bool onStub;
        QPointF at;  // top-left
        double points;
    };
    QSizeF body;
    QSizeF stub;
    std::array<double, kFigureBoxes> boxLefts{};
    double boxRight = 0;
    double boxTop = 0;
    double boxBottom = 0;
    QStringList boxHeadings;
    QList<Place> places;
    QList<Label> labels;
    QList<SwitchBox> switchBoxes;

    // The place of field `field` (position index), or null when the geometry has none.
    const Place* placeOf(int field) const;

    static const ChequeGeometry& standard();
};
