#include <functional>
#include <vector>

#include <QTest>

#include "ChequeGeometry.h"
#include "DocumentKind.h"
#include "GeometryFaults.h"

using namespace Qt::StringLiterals;

namespace {

// A kind's geometry as its resource has it, and a copy of the kind's fields, for a test to
// break one rule in.
struct GeometryCopy {
    const DocumentKind* shipped;
    std::vector<ChequeFieldInfo> fields;
    ChequeGeometry geometry;

    QString identifier(size_t field) const { return fields[field].identifier.toString(); }
    ChequeGeometry::Place& placeOf(size_t field) {
        for (ChequeGeometry::Place& place : geometry.places)
            if (place.field == fields[field].identifier)
                return place;
        qFatal("the shipped geometry has no place for a field");
    }
};

// Breaks one rule in the copy and gives the fault that the check must report; nothing when it
// breaks none.
using Breaking = std::function<QString(GeometryCopy&)>;

}  // namespace

class TestChequeGeometry : public QObject {
    Q_OBJECT

private slots:
    // Every kind's geometry, as compiled in from the resource its kind names, fits the kind,
    // and each rule catches the geometry that breaks it (on a copy of each kind's geometry).
    void geometriesFitTheirKinds_data() {
        QTest::addColumn<Breaking>("breaking");
        QTest::newRow("as shipped") << Breaking([](GeometryCopy&) { return QString(); });
        QTest::newRow("a part of the kind missing") << Breaking([](GeometryCopy& g) {
            const QString name = g.shipped->parts.back().name.toString();
            g.geometry.parts.removeIf([&](const auto& part) { return part.name == name; });
            return u"the geometry lacks part %1"_s.arg(name);
        });
        QTest::newRow("a field without a place") << Breaking([](GeometryCopy& g) {
            const QString field = g.identifier(1);
            g.geometry.places.removeIf([&](const auto& place) { return place.field == field; });
            return u"field %1 has no place"_s.arg(field);
        });
        QTest::newRow("a field placed on another part") << Breaking([](GeometryCopy& g) {
            g.placeOf(2).part = u"elsewhere"_s;
            return u"field %1 is placed on part elsewhere, not its own"_s.arg(g.identifier(2));
        });
        QTest::newRow("a place naming no field") << Breaking([](GeometryCopy& g) {
            g.geometry.places.append(g.placeOf(0));
            g.geometry.places.back().field = u"无此字段"_s;
            return u"a place names 无此字段, no field of the kind"_s;
        });
        QTest::newRow("a field drawn in boxes without its boxes") << Breaking([](GeometryCopy& g) {
            const QString field = g.identifier(0);
            g.fields[0].drawing = FieldDrawing::Boxes;
            g.geometry.boxSets.removeIf([&](const auto& boxes) { return boxes.field == field; });
            return u"field %1 is drawn in boxes but has none"_s.arg(field);
        });
        QTest::newRow("box headings and columns differ in count") << Breaking([](GeometryCopy& g) {
            if (g.geometry.boxSets.isEmpty())  // a kind without boxes: give it one set
                g.geometry.boxSets.append(
                    {g.identifier(0), g.placeOf(0).part, {1, 5}, 9, 1, 5, {u"十"_s, u"元"_s}});
            ChequeGeometry::BoxSet& boxes = g.geometry.boxSets.front();
            boxes.headings.removeLast();
            return u"the boxes of %1 have %2 headings for %3 columns"_s.arg(boxes.field)
                .arg(boxes.headings.size())
                .arg(boxes.lefts.size());
        });
    }
    void geometriesFitTheirKinds() {
        QFETCH(Breaking, breaking);
        QVERIFY(!documentKinds().empty());
        for (const DocumentKind* shipped : documentKinds()) {
            GeometryCopy copy{shipped,
                              {shipped->fields.begin(), shipped->fields.end()},
                              ChequeGeometry::of(*shipped)};
            QVERIFY2(copy.fields.size() > 2 && !copy.geometry.places.isEmpty(),
                     qPrintable(shipped->id.toString()));
            const QString fault = breaking(copy);
            DocumentKind kind = *shipped;
            kind.fields = copy.fields;
            const QStringList faults = geometryFaults(kind, copy.geometry);
            if (fault.isEmpty())
                QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
            else
                QVERIFY2(faults.contains(fault), qPrintable(faults.join(u"; "_s)));
        }
    }
};

QTEST_GUILESS_MAIN(TestChequeGeometry)
#include "tst_chequegeometry.moc"
