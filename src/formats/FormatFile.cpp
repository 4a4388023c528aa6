#include "FormatFile.h"

#include <cmath>

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>

#include "Database.h"
#include "DocumentKind.h"
#include "FormatBackground.h"
#include "FormatStore.h"

using namespace Qt::StringLiterals;

namespace {

// Colours are kept with red in the lowest byte; a file names them as #RRGGBB.
QString colourName(quint32 stored) {
    return QColor(int(stored & 0xFF), int((stored >> 8) & 0xFF), int((stored >> 16) & 0xFF)).name();
}

std::optional<quint32> storedColour(const QString& name) {
    const QColor colour = QColor::fromString(name);
    if (!name.startsWith(u'#') || name.size() != 7 || !colour.isValid())
        return std::nullopt;
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

bool finiteNumber(const QJsonValue& value) {
    return value.isDouble() && std::isfinite(value.toDouble());
}

}  // namespace

double partShift(const DocumentKind& kind, int field, double stubWidth) {
    const bool rightOfStub = hasPart(kind, kStubPart) && partOf(kind, field) != kStubPart &&
                             sideOf(kind, field) == PartSide::Front;
    return rightOfStub ? stubWidth : 0;
}

QSizeF formatFilePaper(const DocumentKind& kind) {
    return hasPart(kind, kStubPart) ? QSizeF(297, 420) : QSizeF(210, 297);
}

std::optional<FormatFile> storedFormatFile(Database& db, const QString& name,
                                           const DocumentKind& kind, bool withBackground) {
    const std::optional<StoredFormatRows> stored = readFormatRows(db, name, kind);
    if (!stored || (stored->fonts.isEmpty() && !stored->hasPageRow))
        return std::nullopt;
    FormatFile file;
    file.kind = kind.id.toString();
    file.name = name;
    file.page = stored->format.page;
    file.endorsement = stored->format.endorsement;
    // On the paper: the stub's width moves the fields right of it.
    for (const auto& [field, font] : stored->fonts) {
        FieldPosition at = stored->format.fields[size_t(field)];
        at.x += partShift(kind, field, file.page.s);
        file.fields << FormatFileField{kind.fields[size_t(field)].identifier.toString(), at, font};
    }
    if (withBackground) {
        const std::optional<FormatBackground> background = storedBackground(db, name, file.kind);
        if (!background)
            return std::nullopt;
        file.background = *background;
    }
    return file;
}

QByteArray formatFileJson(const FormatFile& file) {
    const DocumentKind* kind = kindById(file.kind);
    const QSizeF paper = kind ? formatFilePaper(*kind) : QSizeF();
    QJsonArray fields;
    for (const FormatFileField& field : file.fields)
        fields.append(QJsonObject{{u"identifier"_s, field.identifier},
                                  {u"x"_s, field.at.x},
                                  {u"y"_s, field.at.y},
                                  {u"spacing"_s, field.at.s},
                                  {u"font"_s, field.font.name},
                                  {u"size"_s, field.font.size},
                                  {u"bold"_s, field.font.bold},
                                  {u"italic"_s, field.font.italic},
                                  {u"underline"_s, field.font.underline},
                                  {u"strikethrough"_s, field.font.strikethrough},
                                  {u"colour"_s, colourName(field.font.color)}});
    QJsonArray endorsement;
    for (const QString& part : file.endorsement)
        endorsement.append(part);
    QJsonObject root{
        {u"chequeformat"_s, kFormatFileVersion},
        {u"kind"_s, file.kind},
        {u"name"_s, file.name},
        {u"paper"_s, QJsonObject{{u"size"_s, paper.width() > 210 ? u"A3"_s : u"A4"_s},
                                 {u"orientation"_s, u"portrait"_s},
                                 {u"width"_s, paper.width()},
                                 {u"height"_s, paper.height()}}},
        {u"margins"_s, QJsonObject{{u"horizontal"_s, file.page.x}, {u"vertical"_s, file.page.y}}},
        {u"stubWidth"_s, file.page.s},
        {u"endorsement"_s, endorsement},
        {u"fields"_s, fields}};
    if (!file.background.image.isEmpty())
        root.insert(
            u"background"_s,
            QJsonObject{{u"dotsPerInch"_s, file.background.dotsPerInch},
                        {u"image"_s, QString::fromLatin1(file.background.image.toBase64())}});
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<FormatFile> readFormatFile(const QByteArray& bytes, QString* why) {
    const auto refuse = [why](const QString& reason) {
        *why = reason;
        return std::nullopt;
    };
    if (bytes.size() > kMostFormatFileBytes)
        return refuse(u"格式文件超过1MB"_s);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        !root.value(u"chequeformat"_s).isDouble())
        return refuse(u"不是格式文件"_s);
    const int version = root.value(u"chequeformat"_s).toInt();
    if (version > kFormatFileVersion)
        return refuse(u"格式文件的版本（%1）比本程序新，请先升级程序"_s.arg(version));
    const DocumentKind* kind = kindById(root.value(u"kind"_s).toString());
    if (!kind)
        return refuse(u"没有这种单据：%1"_s.arg(root.value(u"kind"_s).toString()));
    FormatFile file;
    file.kind = kind->id.toString();
    file.name = root.value(u"name"_s).toString().trimmed();
    if (file.name.isEmpty())
        return refuse(u"格式文件没有格式名称"_s);
    const QJsonObject margins = root.value(u"margins"_s).toObject();
    for (const QJsonValue& number :
         {margins.value(u"horizontal"_s), margins.value(u"vertical"_s), root.value(u"stubWidth"_s)})
        if (!finiteNumber(number))
            return refuse(u"页边距或票根宽不是数字"_s);
    file.page = {margins.value(u"horizontal"_s).toDouble(), margins.value(u"vertical"_s).toDouble(),
                 root.value(u"stubWidth"_s).toDouble()};
    const QSizeF paper = formatFilePaper(*kind);
    if (std::abs(file.page.x) > paper.width() || std::abs(file.page.y) > paper.height() ||
        file.page.s < 0 || file.page.s > paper.width())
        return refuse(u"页边距或票根宽不在纸张上"_s);
    const QJsonArray endorsement = root.value(u"endorsement"_s).toArray();
    if (endorsement.size() != kEndorsementParameterCount)
        return refuse(u"背书参数应有%1个"_s.arg(kEndorsementParameterCount));
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        file.endorsement[size_t(i)] = endorsement[i].toVariant().toString();

    QSet<int> given;
    for (const QJsonValue& value : root.value(u"fields"_s).toArray()) {
        const QJsonObject row = value.toObject();
        const QString identifier = row.value(u"identifier"_s).toString();
        const int field = fieldByIdentifier(*kind, identifier);
        if (field < 0)
            return refuse(u"“%1”不是%2的栏位"_s.arg(identifier, kind->id));
        if (given.contains(field))
            return refuse(u"栏位“%1”出现了两次"_s.arg(identifier));
        given.insert(field);
        for (const QString& key : {u"x"_s, u"y"_s, u"spacing"_s, u"size"_s})
            if (!finiteNumber(row.value(key)))
                return refuse(u"栏位“%1”的%2不是数字"_s.arg(identifier, key));
        const FieldPosition at{row.value(u"x"_s).toDouble(), row.value(u"y"_s).toDouble(),
                               row.value(u"spacing"_s).toDouble()};
        if (at.x < 0 || at.x > paper.width() || at.y < 0 || at.y > paper.height() ||
            std::abs(at.s) > paper.width())
            return refuse(u"栏位“%1”的位置不在纸张上"_s.arg(identifier));
        TextFont font;
        font.name = row.value(u"font"_s).toString();
        font.size = row.value(u"size"_s).toDouble();
        font.bold = row.value(u"bold"_s).toBool();
        font.italic = row.value(u"italic"_s).toBool();
        font.underline = row.value(u"underline"_s).toBool();
        font.strikethrough = row.value(u"strikethrough"_s).toBool();
        const std::optional<quint32> colour = storedColour(row.value(u"colour"_s).toString());
        if (!colour || font.size <= 0 || font.size > 200)
            return refuse(u"栏位“%1”的字体、字号或颜色不对"_s.arg(identifier));
        font.color = *colour;
        file.fields << FormatFileField{identifier, at, font};
    }
    for (const ChequeFieldInfo& field : kind->fields)
        if (!given.contains(field.index))
            return refuse(u"缺少栏位“%1”"_s.arg(field.identifier));
    if (root.contains(u"background"_s)) {
        const QJsonObject background = root.value(u"background"_s).toObject();
        const QByteArray::FromBase64Result image =
            QByteArray::fromBase64Encoding(background.value(u"image"_s).toString().toLatin1(),
                                           QByteArray::AbortOnBase64DecodingErrors);
        if (!image || !finiteNumber(background.value(u"dotsPerInch"_s)))
            return refuse(u"格式文件中的底图已损坏"_s);
        file.background = {*image, background.value(u"dotsPerInch"_s).toDouble()};
        if (!backgroundPicture(file.background, why))
            return std::nullopt;
    }
    return file;
}

bool storeFormatFile(Database& db, const FormatFile& file, const QString& name) {
    const DocumentKind* kind = kindById(file.kind);
    if (!kind || name.trimmed().isEmpty())
        return false;
    const QString remove = u"DELETE FROM 支票格式 WHERE 种类=? AND Name=?"_s;
    const QString insert =
        u"INSERT INTO 支票格式 (种类, Name, CtlDF, X, Y, S, Color, fName, fSize, fBold, fItalic, "
        u"fUnderline, fStrikethru) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"_s;
    const QString endorsement =
        QStringList(file.endorsement.begin(), file.endorsement.end()).join(u' ');
    return db.atomically([&] {
        // Another clerk storing this format at the same moment waits here.
        bool written = lockFormat(db, name, file.kind) && db.execute(remove, {file.kind, name});
        if (!written) {
            db.showStatementError(remove);
            return false;
        }
        const auto row = [&](const QString& identifier, const FieldPosition& at,
                             const TextFont& font) {
            if (db.execute(insert, {file.kind, name, identifier, at.x, at.y, at.s,
                                    qint64(font.color), font.name, font.size, font.bold,
                                    font.italic, font.underline, font.strikethrough}))
                return true;
            db.showStatementError(insert);
            return false;
        };
        for (const FormatFileField& field : file.fields) {
            FieldPosition at = field.at;
            at.x -= partShift(*kind, fieldByIdentifier(*kind, field.identifier), file.page.s);
            if (!row(field.identifier, at, field.font))
                return false;
        }
        TextFont page;
        page.name = endorsement;
        page.size = 0;
        // An empty identifier, never NULL: the page-settings row. A file without a background
        // leaves the one the format has.
        return row(u""_s, {file.page.x, file.page.y, file.page.s}, page) &&
               (file.background.image.isEmpty() ||
                writeBackground(db, name, file.kind, file.background));
    });
}
