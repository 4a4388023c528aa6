#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class Cheque;
class Database;
class Prompts;
class QPainter;

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
    QList<double> boxLefts;
    double boxRight = 0;
    double boxTop = 0;
    double boxBottom = 0;
    QStringList boxHeadings;
    QList<Place> places;
    QList<Label> labels;

    static const ChequeGeometry& standard();
};

// Draws a blank cheque at true size on a painter whose device has `pixelsPerMm`: the stub
// with its top-left at `stubAt` (unless `withStub` is false) and the body at `bodyAt` (mm).
void drawChequePicture(QPainter& painter, double pixelsPerMm, bool withStub, QPointF stubAt,
                       QPointF bodyAt);

// The cheque as it would come out of the printer: the blank cheque (stub left of the body
// when the stub is printed, at the format's stub width) with the fields drawn onto it by the
// same code that prints, fed crosswise. Null (after the print error message) when it cannot
// be drawn.
QImage previewCheque(const Cheque& cheque, const QString& format, Database& db, double pixelsPerMm,
                     Prompts& prompts);
