#include "GeometryFaults.h"

#include <algorithm>

#include "ChequeGeometry.h"
#include "DocumentKind.h"

using namespace Qt::StringLiterals;

namespace {

// The name of the kind's part the field is printed on; empty when the field names no part
// (which kindFaults reports).
QStringView partName(const DocumentKind& kind, const ChequeFieldInfo& field) {
    return field.part >= 0 && size_t(field.part) < kind.parts.size()
               ? kind.parts[size_t(field.part)].name
               : QStringView();
}

}  // namespace

QStringList geometryFaults(const DocumentKind& kind, const ChequeGeometry& geometry) {
    QStringList faults;
    for (const DocumentPart& part : kind.parts)
        if (!geometry.part(part.name))
            faults << u"the geometry lacks part %1"_s.arg(part.name.toString());
    for (const ChequeFieldInfo& field : kind.fields) {
        const QString name = field.identifier.toString();
        const ChequeGeometry::Place* place = geometry.placeOf(field.identifier);
        if (!place)
            faults << u"field %1 has no place"_s.arg(name);
        else if (place->part != partName(kind, field))
            faults << u"field %1 is placed on part %2, not its own"_s.arg(name, place->part);
        if (field.drawing == FieldDrawing::Boxes && !geometry.boxesOf(field.identifier))
            faults << u"field %1 is drawn in boxes but has none"_s.arg(name);
    }
    for (const ChequeGeometry::Place& place : geometry.places)
        if (std::ranges::none_of(kind.fields, [&](const ChequeFieldInfo& field) {
                return field.identifier == place.field;
            }))
            faults << u"a place names %1, no field of the kind"_s.arg(place.field);
    for (const ChequeGeometry::BoxSet& boxes : geometry.boxSets)
        if (boxes.headings.size() != boxes.lefts.size())
            faults << u"the boxes of %1 have %2 headings for %3 columns"_s.arg(boxes.field)
                          .arg(boxes.headings.size())
                          .arg(boxes.lefts.size());
    return faults;
}
