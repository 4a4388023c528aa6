#pragma once

#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>

class PrintSurface;

// The sheet a printer's scale and offset are measured by: four crosshairs near the corners of
// an A4 page, A top left, B top right, C bottom left, D bottom right, 20 mm in from the edges,
// so that they lie far apart on each axis (257 mm and 170 mm on a page lying lengthwise).

// The paper the sheet is printed on, in mm as it lies.
QSizeF fitSheetPaper(bool landscape);
// Each mark's centre, in mm from the paper's left and top edges.
QList<QPointF> fitSheetMarks(bool landscape);

// Sets the page up (A4 in the orientation) and draws the sheet: each crosshair with its
// letter, a 100 mm ruler from A along each axis marked every 10 mm, the heading and what to
// measure. `paperOrigin` is where the surface's origin lies on the paper, in mm (the format's
// margins say so). False when the printer refused the paper or the drawing failed.
bool drawFitSheet(PrintSurface& surface, bool landscape, QPointF paperOrigin,
                  const QString& heading);
