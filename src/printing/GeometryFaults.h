#pragma once

#include <QStringList>

struct ChequeGeometry;
struct DocumentKind;

// What is wrong with a kind's picture geometry, one text a fault: a part of the kind it lacks,
// a field of the kind without a place or placed on another part than its own, a place naming
// no field of the kind, a field drawn in boxes without its boxes, a box set whose headings and
// columns differ in count. Empty for a sound geometry.
QStringList geometryFaults(const DocumentKind& kind, const ChequeGeometry& geometry);
