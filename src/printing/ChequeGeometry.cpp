#include "ChequeGeometry.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

QSizeF sizeOf(const QJsonObject& o) {
    return {o[u"width"].toDouble(), o[u"height"].toDouble()};
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
        g.places.append({p[u"field"].toString(), p[u"part"].toString() == u"stub",
                         QRectF(p[u"x"].toDouble(), p[u"y"].toDouble(), p[u"w"].toDouble(),
                                p[u"h"].toDouble())});
    }
    for (const QJsonValue& value : root[u"labels"].toArray()) {
        const QJsonObject l = value.toObject();
        g.labels.append({l[u"text"].toString(), l[u"part"].toString() == u"stub",
                         QPointF(l[u"x"].toDouble(), l[u"y"].toDouble()), l[u"size"].toDouble()});
    }
    return g;
}

}  // namespace

const ChequeGeometry& ChequeGeometry::standard() {
    static const ChequeGeometry geometry = readGeometry();
    return geometry;
}
