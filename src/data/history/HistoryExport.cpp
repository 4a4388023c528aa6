#include "HistoryExport.h"

#include <optional>

#include "ChequeFields.h"
#include "Database.h"
#include "ExportRows.h"
#include "GridExport.h"
#include "GridRoutines.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"
#include "HistoryRows.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

// The history's rows as the grid lists them, read as they are written, without the hidden ID.
class HistoryExportRows final : public ExportRows {
public:
    HistoryExportRows(Database& db, const HistoryOrder& order, const QStringList& headings,
                      const std::vector<int>& gridWidths, qint64 count)
        : m_reader(db, order), m_kind(order.documentKind()), m_count(count) {
        for (qsizetype c = 1; c < headings.size(); ++c)
            m_headings << withoutSortMarker(headings[c]);
        for (size_t c = 1; c < gridWidths.size(); ++c)
            m_widths.push_back(gridWidths[c] / kTwipsPerWorkbookCharacter);
    }

    const QStringList& headings() const override { return m_headings; }
    qint64 count() const override { return m_count; }
    bool next(QStringList& texts) override {
        if (!m_reader.next(m_row))
            return false;
        texts.resize(m_row.size() - 1);
        for (qsizetype c = 1; c < m_row.size(); ++c)
            texts[c - 1].swap(m_row[c]);
        ++m_read;
        return true;
    }
    bool failed() const override { return m_reader.failed(); }
    std::optional<std::vector<int>> columnWidths() const override {
        if (m_widths.size() != size_t(m_headings.size()))
            return std::nullopt;
        return m_widths;
    }
    std::vector<ExportColumn> columnKinds() const override {
        QStringList amounts;
        for (const ChequeFieldInfo& field : m_kind.fields)
            if (field.role == FieldRole::Amount || field.role == FieldRole::StubAmount)
                amounts << field.historyColumn.toString();
        std::vector<ExportColumn> kinds;
        for (const QString& name : historyGridNames(m_kind).mid(1))
            kinds.push_back(isHistoryDateColumn(name) ? ExportColumn::Date
                            : amounts.contains(name)  ? ExportColumn::Amount
                                                      : ExportColumn::Text);
        return kinds;
    }
    // How many rows were read: the rows written once the export succeeded.
    qint64 read() const { return m_read; }

private:
    HistoryRowReader m_reader;
    const DocumentKind& m_kind;
    QStringList m_headings;
    std::vector<int> m_widths;
    qint64 m_count;
    qint64 m_read = 0;
    QStringList m_row;
};

// How many rows the history grid lists under the order's filter; nothing when the database failed
// (after its message).
std::optional<qint64> listedRows(Database& db, const HistoryOrder& order) {
    const SqlCondition listed = listedHistoryCondition(order, db.isServer());
    std::optional<QSqlQuery> query =
        db.select(u"SELECT count(*) FROM 历史记录 WHERE "_s + listed.sql, listed.values);
    if (!query || !query->next())
        return std::nullopt;
    return query->value(0).toLongLong();
}

bool refuseEmpty(qint64 rows, Prompts& prompts) {
    if (rows > 0)
        return false;
    prompts.message(u"表格中没有数据！"_s, {}, PromptButtons::Ok);
    return true;
}

// A workbook of more rows than a worksheet holds is refused before anything is written.
bool refuseTooMany(qint64 rows, const QString& fileName, qint64 sheetRows, Prompts& prompts) {
    if (isCsvExportName(fileName) || rows <= sheetRows)
        return false;
    prompts.message(
        u"记录共%1行，超过Excel工作表的上限%2行，请导出为CSV文件。"_s.arg(rows).arg(sheetRows), {},
        PromptButtons::Ok);
    return true;
}

// The rows written, or nothing after the failure's message.
std::optional<qint64> writeHistory(Database& db, const HistoryOrder& order,
                                   const QStringList& headings, const std::vector<int>& gridWidths,
                                   const QString& fileName, qint64 rows, Prompts& prompts,
                                   ProgressIndicator& progress) {
    HistoryExportRows source(db, order, headings, gridWidths, rows);
    if (!isCsvExportName(fileName)) {
        if (!ExportExcel(source, fileName, historySheetName(), progress, prompts))
            return std::nullopt;
    } else if (!ExportCsv(source, fileName, progress)) {
        prompts.message(u"文件保存出错！"_s, {}, PromptButtons::Ok);
        return std::nullopt;
    }
    return source.read();
}

}  // namespace

bool chooseFileAndExportHistory(Database& db, const HistoryOrder& order,
                                const QStringList& headings, const std::vector<int>& gridWidths,
                                const QDate& today, Prompts& prompts, ProgressIndicator& progress,
                                qint64 sheetRows) {
    const std::optional<qint64> rows = listedRows(db, order);
    if (!rows || refuseEmpty(*rows, prompts))
        return false;
    const QString fileName = chooseExportFile(prompts, proposedExportName(u"历史记录"_s, today));
    if (fileName.isEmpty() || refuseTooMany(*rows, fileName, sheetRows, prompts) ||
        !mayReplaceExportFile(fileName, prompts))
        return false;
    const std::optional<qint64> written =
        writeHistory(db, order, headings, gridWidths, fileName, *rows, prompts, progress);
    if (written)
        prompts.message(exportedMessage(*written, fileName), {}, PromptButtons::Ok);
    return written.has_value();
}

bool exportHistoryToFile(Database& db, const HistoryOrder& order, const QStringList& headings,
                         const QString& fileName, Prompts& prompts, ProgressIndicator& progress,
                         qint64 sheetRows) {
    const std::optional<qint64> rows = listedRows(db, order);
    if (!rows || refuseEmpty(*rows, prompts) || refuseTooMany(*rows, fileName, sheetRows, prompts))
        return false;
    return writeHistory(db, order, headings, {}, fileName, *rows, prompts, progress).has_value();
}
