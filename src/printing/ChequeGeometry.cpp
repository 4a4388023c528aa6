#include "ChequeGeometry.h"

#include <algorithm>
#include <map>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>

#include "DocumentKind.h"

using namespace Qt::StringLiterals;

namespace {

QSizeF sizeOf(const QJsonObject& o) {
    return {o[u"width"].toDouble(), o[u"height"].toDouble()};
}

QRectF rectOf(const QJsonObject& o) {
    return {o[u"x"].toDouble(), o[u"y"].toDouble(), o[u"w"].toDouble(), o[u"h"].toDouble()};
}

ChequeGeometry::BoxSet boxSetOf(const QJsonObject& o) {
    ChequeGeometry::BoxSet boxes;
    boxes.field = o[u"field"].toString();
    boxes.part = o[u"part"].toString();
    for (const QJsonValue& left : o[u"left"].toArray())
        boxes.lefts << left.toDouble();
    boxes.right = o[u"right"].toDouble();
    boxes.top = o[u"top"].toDouble();
    boxes.bottom = o[u"bottom"].toDouble();
    for (const QJsonValue& heading : o[u"headings"].toArray())
        boxes.headings << heading.toString();
    return boxes;
}

// The resource is compiled in: a missing or unreadable one is a fault of the build, and a
// cheque drawn without it would be wrong.
ChequeGeometry readGeometry(const DocumentKind& kind) {
    ChequeGeometry g;
    QFile file(kind.geometry.toString());
    if (!file.open(QIODevice::ReadOnly))
        qFatal("chequeprint: the geometry resource of a document kind is missing");
    QJsonParseError error{};
    const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &error).object();
    if (error.error != QJsonParseError::NoError)
        qFatal("chequeprint: the geometry resource of a document kind is not JSON");
    for (const QJsonValue& value : root[u"parts"].toArray()) {
        const QJsonObject p = value.toObject();
        g.parts.append({p[u"name"].toString(), sizeOf(p), p[u"row"].toInt()});
    }
    for (const QJsonValue& value : root[u"figureBoxes"].toArray())
        g.boxSets.append(boxSetOf(value.toObject()));
    for (const QJsonValue& value : root[u"places"].toArray()) {
        const QJsonObject p = value.toObject();
        g.places.append({p[u"field"].toString(), p[u"part"].toString(), rectOf(p)});
    }
    for (const QJsonValue& value : root[u"switchBoxes"].toArray()) {
        const QJsonObject b = value.toObject();
        const QString suppresses = b[u"suppresses"].toString();
        const auto field = std::ranges::find_if(kind.fields, [&](const ChequeFieldInfo& info) {
            return info.identifier == suppresses;
        });
        if (field == kind.fields.end())
            qFatal("chequeprint: a switch box of a document kind's geometry names no field");
        g.switchBoxes.append({field->index, rectOf(b)});
    }
    for (const QJsonValue& value : root[u"labels"].toArray()) {
        const QJsonObject l = value.toObject();
        g.labels.append({l[u"text"].toString(), l[u"part"].toString(),
                         QPointF(l[u"x"].toDouble(), l[u"y"].toDouble()), l[u"size"].toDouble(),
                         l[u"colour"].toString()});
    }
    return g;
}

}  // namespace

const ChequeGeometry::Part* ChequeGeometry::part(QStringView name) const {
    for (const Part& p : parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

QSizeF ChequeGeometry::partSize(QStringView name) const {
    const Part* p = part(name);
    return p ? p->size : QSizeF();
}

double ChequeGeometry::partLeft(QStringView name) const {
    const Part* of = part(name);
    double left = 0;
    for (const Part& p : parts) {
        if (p.name == name)
            break;
        if (!of || p.row == of->row)
            left += p.size.width();
    }
    return left;
}

double ChequeGeometry::partTop(QStringView name) const {
    const Part* of = part(name);
    double top = 0;
    for (int row = 0; of && row < of->row; ++row)
        top += rowSize(row).height() + kRowGap;
    return top;
}

QSizeF ChequeGeometry::rowSize(int row) const {
    QSizeF size(0, 0);
    for (const Part& p : parts)
        if (p.row == row)
            size = QSizeF(size.width() + p.size.width(), qMax(size.height(), p.size.height()));
    return size;
}

QSizeF ChequeGeometry::shownSize() const {
    QSizeF size(0, 0);
    for (int row = 0; !rowSize(row).isEmpty(); ++row) {
        const QSizeF each = rowSize(row);
        size = QSizeF(qMax(size.width(), each.width()),
                      size.height() + (row > 0 ? kRowGap : 0) + each.height());
    }
    return size;
}

const ChequeGeometry::Place* ChequeGeometry::placeOf(QStringView field) const {
    for (const Place& place : places)
        if (place.field == field)
            return &place;
    return nullptr;
}

const ChequeGeometry::BoxSet* ChequeGeometry::boxesOf(QStringView field) const {
    for (const BoxSet& boxes : boxSets)
        if (boxes.field == field)
            return &boxes;
    return nullptr;
}

const ChequeGeometry& ChequeGeometry::of(const DocumentKind& kind) {
    // Kept by resource name; a map's elements stay where they are while others are added.
    static QMutex mutex;
    static std::map<QString, ChequeGeometry> read;
    const QMutexLocker lock(&mutex);
    auto [at, added] = read.try_emplace(kind.geometry.toString());
    if (added)
        at->second = readGeometry(kind);
    return at->second;
}

const ChequeGeometry& ChequeGeometry::standard() {
    static const ChequeGeometry& geometry = of(transferCheque());
    return geometry;
}
