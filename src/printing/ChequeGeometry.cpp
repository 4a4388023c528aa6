#include "ChequeGeometry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "ChequeFields.h"

using namespace Qt::StringLiterals;

namespace {

QSizeF sizeOf(const QJsonObject& o) {
    return {o[u"width"].toDouble(), o[u"height"].toDouble()};
}

QRectF rectOf(const QJsonObject& o) {
    return {o[u"x"].toDouble(), o[u"y"].toDouble(), o[u"w"].toDouble(), o[u"h"].toDouble()};
}

ChequeGeometry readGeometry() {
    ChequeGeometry g;
    QFile file(u":/cheque-geometry.json"_s);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("chequeprint: the cheque geometry resource is missing");
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    g.body = sizeOf(root[u"body"].toObject());
    g.stub = sizeOf(root[u"stub"].toObject());
    const QJsonObject boxes = root[u"figureBoxes"].toObject();
    const QJsonArray lefts = boxes[u"left"].toArray();
    if (lefts.size() != qsizetype(g.boxLefts.size()))
        qFatal("chequeprint: the cheque geometry needs eleven figure boxes");
    for (size_t i = 0; i < g.boxLefts.size(); ++i)
        g.boxLefts[i] = lefts[qsizetype(i)].toDouble();
    g.boxRight = boxes[u"right"].toDouble();
    g.boxTop = boxes[u"top"].toDouble();
    g.boxBottom = boxes[u"bottom"].toDouble();
    for (const QJsonValue& heading : boxes[u"headings"].toArray())
        g.boxHeadings << heading.toString();
    for (const QJsonValue& value : root[u"places"].toArray()) {
        const QJsonObject p = value.toObject();
        g.places.append({p[u"field"].toString(), p[u"part"].toString() == u"stub", rectOf(p)});
    }
    for (const QJsonValue& value : root[u"switchBoxes"].toArray()) {
        const QJsonObject b = value.toObject();
        const int field = FieldIndexOf(b[u"suppresses"].toString());
        if (field < 0)
            qFatal("chequeprint: a switch box of the cheque geometry names no field");
        g.switchBoxes.append({field, rectOf(b)});
    }
    for (const QJsonValue& value : root[u"labels"].toArray()) {
        const QJsonObject l = value.toObject();
        g.labels.append({l[u"text"].toString(), l[u"part"].toString() == u"stub",
                         QPointF(l[u"x"].toDouble(), l[u"y"].toDouble()), l[u"size"].toDouble()});
    }
    return g;
}

}  // namespace

const ChequeGeometry::Place* ChequeGeometry::placeOf(int field) const {
    const QStringView identifier = chequeFields()[size_t(field)].identifier;
    for (const Place& place : places)
        if (place.field == identifier)
            return &place;
    return nullptr;
}

const ChequeGeometry& ChequeGeometry::standard() {
    static const ChequeGeometry geometry = readGeometry();
    return geometry;
}
