#include "FormatStore.h"

#include <utility>

#include <QHash>
#include <QSqlError>

#include "Database.h"
#include "Document.h"
#include "NumberText.h"
#include "ProgressIndicator.h"
#include "UserState.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPageRow =
    u"SELECT ID, X, Y, S, fName FROM 支票格式 WHERE 种类=? AND Name=? AND CtlDF=''"_s;

// What a caller typed can equal the number that used to say "unchanged"; it is still not stored.
constexpr double kFieldUnchangedMarker = -10000;  // UpdateFieldSettings
constexpr double kPageUnchangedMarker = -90000;   // SavePageSettings

// Each of x, y, s that is given and is not the marker, as "X=?, ..." and values.
void changedColumns(std::optional<double> x, std::optional<double> y, std::optional<double> s,
                    double marker, QStringList& assignments, QVariantList& values) {
    const std::pair<const char16_t*, std::optional<double>> columns[] = {
        {u"X", x}, {u"Y", y}, {u"S", s}};
    for (const auto& [column, value] : columns) {
        if (!value || *value == marker)
            continue;
        assignments << QString::fromUtf16(column) + u"=?"_s;
        values << *value;
    }
}

// The endorsement parameters in a page-settings row's stored text: its first five
// blank-separated parts (two blanks give an empty part), or nothing when it has fewer.
std::optional<QStringList> storedEndorsement(const QString& text) {
    QStringList parts = text.split(u' ');
    if (parts.size() < kEndorsementParameterCount)
        return std::nullopt;
    return parts;
}

}  // namespace

QStringList storedFormatNames(Database& db, const QString& kind) {
    QStringList found;
    if (std::optional<QSqlQuery> names = db.select(
            u"SELECT Name FROM 支票格式 WHERE 种类=? AND Name<>'' GROUP BY Name ORDER BY Name"_s,
            {kind}))
        while (names->next())
            found << names->value(0).toString();
    return found;
}

void ListFormatNames(Database& db, FormatDisplays& displays, const QString& kind) {
    displays.formatNames = storedFormatNames(db, kind);

    const std::optional<QString> current = storedCurrentFormat(db, kind);
    // On a shared database another user may have deleted this user's current format.
    if (current && displays.formatNames.contains(*current)) {
        displays.currentFormat = *current;
    } else {
        displays.currentFormat = displays.formatNames.value(0);
        if (current && *current != displays.currentFormat)
            SetCurrentFormat(db, displays.currentFormat, kind);
    }
}

bool lockFormat(Database& db, const QString& name, const QString& kind) {
    constexpr int kFormatLocks = 20261209;
    return db.lockName(kFormatLocks, kind + u'\n' + name);
}

bool SetCurrentFormat(Database& db, const QString& name, const QString& kind) {
    return storeCurrentFormat(db, name, kind);
}

std::optional<PageSettings> LoadPageSettings(Database& db, const QString& name, Document& cheque,
                                             FormatDisplays& displays) {
    PageSettings page;
    cheque.resetEndorsement();
    std::optional<QSqlQuery> row = db.select(kPageRow, {cheque.kind().id.toString(), name});
    if (!row)
        return std::nullopt;
    if (!row->next())
        return page;
    page = {row->value(1).toDouble(), row->value(2).toDouble(), row->value(3).toDouble()};
    displays.marginX = numberText(page.x);
    displays.marginY = numberText(page.y);
    displays.stubWidth = numberText(page.s);
    if (const std::optional<QStringList> parts = storedEndorsement(row->value(4).toString()))
        for (int i = 0; i < kEndorsementParameterCount; ++i)
            cheque.setEndorsement(i, parts->at(i));
    return page;
}

std::optional<StoredFormatRows> readFormatRows(Database& db, const QString& name,
                                               const DocumentKind& kind) {
    StoredFormatRows stored;
    PrintFormat& format = stored.format;
    format.name = name;
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        format.endorsement[size_t(i)] = endorsementParameters()[size_t(i)].designValue.toString();
    const QString sql =
        u"SELECT CtlDF, X, Y, S, fName, Color, fSize, fBold, fItalic, fUnderline, fStrikethru "
        u"FROM 支票格式 WHERE 种类=? AND Name=? ORDER BY ID"_s;
    std::optional<QSqlQuery> rows = db.select(sql, {kind.id.toString(), name});
    if (!rows)
        return std::nullopt;
    std::array<bool, kMaxKindFields> fieldRead{};
    while (rows->next()) {
        const QString identifier = rows->value(0).toString();
        const FieldPosition at{rows->value(1).toDouble(), rows->value(2).toDouble(),
                               rows->value(3).toDouble()};
        if (identifier.isEmpty()) {
            if (std::exchange(stored.hasPageRow, true))
                continue;
            format.page = {at.x, at.y, at.s};
            if (const std::optional<QStringList> parts =
                    storedEndorsement(rows->value(4).toString()))
                for (int i = 0; i < kEndorsementParameterCount; ++i)
                    format.endorsement[size_t(i)] = parts->at(i);
            continue;
        }
        const int field = fieldByIdentifier(kind, identifier);
        if (field < 0 || std::exchange(fieldRead[size_t(field)], true))
            continue;
        format.fields[size_t(field)] = at;
        TextFont font;
        font.name = rows->value(4).toString();
        font.color = quint32(rows->value(5).toLongLong());
        font.size = rows->value(6).toDouble();
        font.bold = rows->value(7).toLongLong() != 0;
        font.italic = rows->value(8).toLongLong() != 0;
        font.underline = rows->value(9).toLongLong() != 0;
        font.strikethrough = rows->value(10).toLongLong() != 0;
        stored.fonts << std::pair{field, font};
    }
    // A row that fails to read ends the rows early, as if there were no more.
    if (rows->lastError().isValid()) {
        qWarning("chequeprint: %s: %s", qUtf8Printable(sql),
                 qUtf8Printable(rows->lastError().text()));
        db.showStatementError(sql);
        return std::nullopt;
    }
    return stored;
}

std::optional<PrintFormat> loadPrintFormat(Database& db, const QString& name,
                                           const DocumentKind& kind) {
    std::optional<StoredFormatRows> stored = readFormatRows(db, name, kind);
    if (!stored)
        return std::nullopt;
    return std::move(stored->format);
}

bool SavePageSettings(Database& db, std::optional<double> x, std::optional<double> y,
                      std::optional<double> s, const QString& name, const Document& cheque,
                      FormatDisplays& displays) {
    QVariantList stored;
    const QString kind = cheque.kind().id.toString();
    const bool ok = db.atomically([&] {
        if (!lockFormat(db, name, kind))
            return false;
        std::optional<QSqlQuery> row = db.select(kPageRow, {kind, name});
        if (!row)
            return false;
        QVariant id;
        if (row->next()) {
            id = row->value(0);
        } else {
            const std::optional<qint64> added = db.insertReturningId(
                u"INSERT INTO 支票格式 (种类, Name, CtlDF) VALUES (?, ?, '')"_s, {kind, name});
            if (!added)
                return false;
            id = *added;
        }
        QStringList assignments;
        QVariantList values;
        changedColumns(x, y, s, kPageUnchangedMarker, assignments, values);
        QStringList endorsement;
        for (int i = 0; i < kEndorsementParameterCount; ++i)
            endorsement << cheque.endorsement(i);
        assignments << u"fName=?"_s;
        values << endorsement.join(u' ') << id;
        if (!db.execute(u"UPDATE 支票格式 SET "_s + assignments.join(u", "_s) + u" WHERE ID=?"_s,
                        values))
            return false;
        std::optional<QSqlQuery> page =
            db.select(u"SELECT X, Y, S FROM 支票格式 WHERE ID=?"_s, {id});
        if (!page || !page->next())
            return false;
        stored = {page->value(0), page->value(1), page->value(2)};
        return true;
    });
    if (!ok)
        return false;
    displays.marginX = numberText(stored[0].toDouble());
    displays.marginY = numberText(stored[1].toDouble());
    displays.stubWidth = numberText(stored[2].toDouble());
    return true;
}

bool UpdateFieldSettings(Database& db, int field, const Document& cheque, const QString& name,
                         std::optional<double> x, std::optional<double> y,
                         std::optional<double> s) {
    const QString identifier =
        field >= 0 ? cheque.kind().fields[size_t(field)].identifier.toString() : QString();
    const QString kind = cheque.kind().id.toString();
    return db.atomically([&] {
        // After another clerk's save of the format, whose rows then have new IDs.
        if (!lockFormat(db, name, kind))
            return false;
        std::optional<QSqlQuery> row =
            db.select(u"SELECT ID FROM 支票格式 WHERE 种类=? AND Name=? AND CtlDF=?"_s,
                      {kind, name, identifier});
        if (!row || !row->next())
            return false;
        const QVariant id = row->value(0);
        QStringList assignments;
        QVariantList values;
        changedColumns(x, y, s, kFieldUnchangedMarker, assignments, values);
        if (!identifier.isEmpty()) {
            const TextFont& font = cheque.font(field);
            assignments << u"Color=?"_s << u"fName=?"_s << u"fSize=?"_s << u"fBold=?"_s
                        << u"fItalic=?"_s << u"fUnderline=?"_s << u"fStrikethru=?"_s;
            values << qint64(font.color) << font.name << font.size << font.bold << font.italic
                   << font.underline << font.strikethrough;
        }
        if (assignments.isEmpty())
            return true;
        values << id;
        return db.execute(u"UPDATE 支票格式 SET "_s + assignments.join(u", "_s) + u" WHERE ID=?"_s,
                          values);
    });
}

std::optional<FieldPosition> storedFieldPosition(Database& db, const QString& name, int field,
                                                 const QString& kind) {
    const DocumentKind* documentKind = kindById(kind);
    if (!documentKind || field < 0 || size_t(field) >= documentKind->fields.size())
        return std::nullopt;
    std::optional<QSqlQuery> row =
        db.select(u"SELECT X, Y, S FROM 支票格式 WHERE 种类=? AND Name=? AND CtlDF=? ORDER BY ID"_s,
                  {kind, name, documentKind->fields[size_t(field)].identifier.toString()});
    if (!row || !row->next())
        return std::nullopt;
    return FieldPosition{row->value(0).toDouble(), row->value(1).toDouble(),
                         row->value(2).toDouble()};
}

void ApplyFormatFonts(Database& db, const QString& name, Document& cheque,
                      ProgressIndicator& progress) {
    const int fields = int(cheque.kind().fields.size());
    progress.StartProgress(u"正在设置格式……"_s, fields);
    // One query for all rows; the first row of each field counts.
    QHash<QString, TextFont> fonts;
    if (std::optional<QSqlQuery> rows =
            db.select(u"SELECT CtlDF, Color, fName, fSize, fBold, fItalic, fUnderline, fStrikethru "
                      u"FROM 支票格式 WHERE 种类=? AND Name=? AND CtlDF<>'' ORDER BY ID"_s,
                      {cheque.kind().id.toString(), name})) {
        while (rows->next()) {
            const QString identifier = rows->value(0).toString();
            if (fonts.contains(identifier))
                continue;
            TextFont font;
            font.color = quint32(rows->value(1).toLongLong());
            font.name = rows->value(2).toString();
            font.size = rows->value(3).toDouble();
            font.bold = rows->value(4).toLongLong() != 0;
            font.italic = rows->value(5).toLongLong() != 0;
            font.underline = rows->value(6).toLongLong() != 0;
            font.strikethrough = rows->value(7).toLongLong() != 0;
            fonts.insert(identifier, font);
        }
    }
    for (int i = 0; i < fields; ++i) {
        const auto found = fonts.constFind(cheque.kind().fields[size_t(i)].identifier.toString());
        if (found != fonts.cend()) {
            TextFont font = *found;
            // A row without a usable name or size keeps the field's own, so that it prints.
            if (font.name.isEmpty())
                font.name = cheque.font(i).name;
            if (font.size <= 0)
                font.size = cheque.font(i).size;
            cheque.setFont(i, font);
        }
        progress.StepProgress(1, QString());
    }
    progress.EndProgress();
}
