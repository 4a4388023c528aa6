#include "PrintJournal.h"

#include <QSqlError>

#include "BoundGrid.h"
#include "Clock.h"
#include "Database.h"
#include "Document.h"
#include "Prompts.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

QString cancelledAt(const QString& step) {
    return u"已取消："_s + step;
}

QString refusedFor(const QString& reason) {
    return u"未打印："_s + reason;
}

QString journalFields(const Document& cheque) {
    QStringList lines;
    for (const ChequeFieldInfo& field : cheque.kind().fields)
        if (field.role != FieldRole::Password && !cheque.text(field.index).isEmpty())
            lines << field.identifier.toString() + u'=' + storableText(cheque.text(field.index));
    return lines.join(u'\n');
}

namespace {

// An entry names the login that printed; on a server, the server writes it and the time.
const QString kAppendEntry =
    u"INSERT INTO 打印日志 (时间, 用户, 种类, 打印机, 格式, 结果, 历史ID, 内容) "
    u"VALUES (?,?,?,?,?,?,?,?)"_s;

// SQL NULL never stands for an empty text in the journal.
QVariant text(const QString& value) {
    return value.isNull() ? u""_s : value;
}

}  // namespace

bool appendJournal(Database& db, const Clock& clock, const JournalEntry& entry) {
    const QString time = clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    if (db.execute(kAppendEntry,
                   {time, db.userName(), text(entry.kind), text(entry.target), text(entry.format),
                    text(entry.outcome), entry.historyId, text(entry.fields)}))
        return true;
    db.showStatementError(kAppendEntry);
    return false;
}

bool appendBatchJournal(Database& db, const Clock& clock, const QList<Document>& cheques,
                        const JournalEntry& batch, const QList<qint64>& historyIds) {
    return db.atomically([&] {
        for (qsizetype k = 0; k < cheques.size(); ++k) {
            JournalEntry entry = batch;
            entry.fields = journalFields(cheques[k]);
            if (k < historyIds.size())
                entry.historyId = historyIds[k];
            if (!appendJournal(db, clock, entry))
                return false;
        }
        return true;
    });
}

bool recordsIntact(Database& db) {
    // A journal whose structure was changed may not keep what is printed.
    if (const QString tampering = db.journalTampering(); !tampering.isEmpty()) {
        qWarning("chequeprint: the print journal was changed: %s", qUtf8Printable(tampering));
        db.prompts().message(u"打印日志的结构已被改动（"_s + tampering + u"），不能打印。"_s, {},
                             PromptButtons::Ok);
        return false;
    }
    // Nor may a register whose structure was changed give a cheque its number, or let an
    // account print without its book.
    if (const QString tampering = db.registerTampering(); !tampering.isEmpty()) {
        qWarning("chequeprint: the cheque register was changed: %s", qUtf8Printable(tampering));
        db.prompts().message(u"支票簿登记的结构已被改动（"_s + tampering + u"），不能打印。"_s, {},
                             PromptButtons::Ok);
        return false;
    }
    return true;
}

std::optional<QList<qint64>> writePrintingEntries(Database& db, const Clock& clock,
                                                  const JournalEntry& job,
                                                  const QStringList& fields) {
    const QString time = clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    const QStringList contents = fields.isEmpty() ? QStringList{job.fields} : fields;
    QList<qint64> ids;
    const bool ok = db.atomically([&] {
        ids.clear();
        for (const QString& content : contents) {
            const std::optional<qint64> id = db.insertReturningId(
                kAppendEntry, {time, db.userName(), text(job.kind), text(job.target),
                               text(job.format), kPrinting, QVariant(), text(content)});
            if (!id) {
                db.showStatementError(kAppendEntry);
                return false;
            }
            ids << *id;
        }
        return true;
    });
    return ok ? std::optional(ids) : std::nullopt;
}

std::optional<QList<qint64>> journalPrinting(Database& db, const Clock& clock,
                                             const JournalEntry& job, const QStringList& fields) {
    if (!recordsIntact(db))
        return std::nullopt;
    return writePrintingEntries(db, clock, job, fields);
}

bool recordOutcome(Database& db, const QList<qint64>& journalIds, const QString& outcome,
                   const QList<qint64>& historyIds) {
    const QString sql = u"UPDATE 打印日志 SET 结果=?, 历史ID=? WHERE ID=? AND 结果=?"_s;
    return db.atomically([&] {
        for (qsizetype k = 0; k < journalIds.size(); ++k) {
            // 0 stands for a document kept in no row.
            const QVariant kept =
                k < historyIds.size() && historyIds[k] > 0 ? QVariant(historyIds[k]) : QVariant();
            if (!db.execute(sql, {outcome, kept, journalIds[k], kPrinting})) {
                db.showStatementError(sql);
                return false;
            }
        }
        return true;
    });
}

QStringList journalHeadings() {
    return {u"时间"_s, u"用户"_s, u"种类"_s,   u"打印机"_s,
            u"格式"_s, u"结果"_s, u"历史ID"_s, u"内容"_s};
}

namespace {

// The bounds of the times between two days: times are texts, and every time of the last day
// sorts before its end.
QVariantList dayBounds(const QDate& from, const QDate& to) {
    return {from.isValid() ? from.toString(Qt::ISODate) : u""_s,
            to.isValid() ? to.toString(Qt::ISODate) + u" 99"_s : u"9999"_s};
}

}  // namespace

QString paymentKey(const QString& payee, const QString& figures) {
    return payee + u'\n' + figures;
}

std::optional<QSet<QString>> paymentsPrintedOn(Database& db, const QDate& day,
                                               const DocumentKind& kind) {
    // A kind without a payee or an amount has no payment to find printed again.
    const int payeeField = fieldWithRole(kind, FieldRole::Payee);
    const int amountField = fieldWithRole(kind, FieldRole::Amount);
    if (payeeField < 0 || amountField < 0)
        return QSet<QString>();
    const QString sql =
        u"SELECT 内容 FROM 打印日志 WHERE 种类=? AND 结果 IN (?,?) AND 时间>=? AND 时间<=?"_s;
    std::optional<QSqlQuery> query = db.select(
        sql, QVariantList{kind.journalJob.toString(), kPrinted, kPrinting} + dayBounds(day, day));
    if (!query)
        return std::nullopt;
    // The entry's lines as journalFields wrote them.
    const QString payeeLine = kind.fields[size_t(payeeField)].identifier.toString() + u'=';
    const QString amountLine = kind.fields[size_t(amountField)].identifier.toString() + u'=';
    QSet<QString> printed;
    while (query->next()) {
        QString payee;
        QString figures;
        for (const QString& line : query->value(0).toString().split(u'\n')) {
            if (line.startsWith(payeeLine))
                payee = line.mid(payeeLine.size());
            else if (line.startsWith(amountLine))
                figures = line.mid(amountLine.size());
        }
        printed.insert(paymentKey(payee, figures));
    }
    if (query->lastError().isValid()) {
        db.showStatementError(sql);
        return std::nullopt;
    }
    return printed;
}

void buildJournalGrid(BoundGrid& grid, Database& db, const QDate& from, const QDate& to,
                      GridTools tools) {
    SetUpGridColumns(grid, QStringList{u"ID"_s, u""_s} + journalHeadings(),
                     QStringList{u"ID"_s, u"序号"_s} + journalHeadings());
    grid.setTag(u"打印日志"_s);
    FillGrid(grid, db, u" 时间>=? AND 时间<=?"_s, dayBounds(from, to), u"ID DESC"_s, tools);
}

QList<QStringList> journalRows(Database& db, const QDate& from, const QDate& to) {
    QList<QStringList> rows;
    if (std::optional<QSqlQuery> query = db.select(
            u"SELECT 时间, 用户, 种类, 打印机, 格式, 结果, COALESCE(CAST(历史ID AS TEXT), ''), "
            u"内容 FROM 打印日志 "
            u"WHERE 时间>=? AND 时间<=? ORDER BY ID DESC"_s,
            dayBounds(from, to)))
        while (query->next()) {
            QStringList row;
            for (int c = 0; c < 8; ++c)
                row << query->value(c).toString();
            rows << row;
        }
    return rows;
}
