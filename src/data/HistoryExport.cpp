#include "HistoryExport.h"

#include <optional>

#include "Database.h"
#include "ExportRows.h"
#include "GridExport.h"
#include "HistoryRows.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

// The history's rows as the grid lists them, read as they are written, without the hidden ID.
class HistoryExportRows final : public ExportRows {
public:
    HistoryExportRows(Database& db, const HistoryOrder& order, const QStringList& headings,
                      qint64 count)
        : m_reader(db, order), m_headings(headings.mid(1)), m_count(count) {}

    const QStringList& headings() const override { return m_headings; }
    qint64 count() const override { return m_count; }
    bool next(QStringList& texts) override {
        if (!m_reader.next(m_row))
            return false;
        texts.resize(m_row.size() - 1);
        for (qsizetype c = 1; c < m_row.size(); ++c)
            texts[c - 1].swap(m_row[c]);
        return true;
    }
    bool failed() const override { return m_reader.failed(); }

private:
    HistoryRowReader m_reader;
    QStringList m_headings;
    qint64 m_count;
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

bool writeHistory(Database& db, const HistoryOrder& order, const QStringList& headings,
                  const QString& fileName, qint64 rows, Prompts& prompts,
                  ProgressIndicator& progress) {
    HistoryExportRows source(db, order, headings, rows);
    if (!isCsvExportName(fileName))
        return ExportExcel(source, fileName, historySheetName(), progress, prompts);
    if (ExportCsv(source, fileName, progress))
        return true;
    prompts.message(u"文件保存出错！"_s, {}, PromptButtons::Ok);
    return false;
}

}  // namespace

bool chooseFileAndExportHistory(Database& db, const HistoryOrder& order,
                                const QStringList& headings, Prompts& prompts,
                                ProgressIndicator& progress, qint64 sheetRows) {
    const std::optional<qint64> rows = listedRows(db, order);
    if (!rows || refuseEmpty(*rows, prompts))
        return false;
    const QString fileName = chooseExportFile(prompts);
    if (fileName.isEmpty() || refuseTooMany(*rows, fileName, sheetRows, prompts) ||
        !mayReplaceExportFile(fileName, prompts))
        return false;
    return writeHistory(db, order, headings, fileName, *rows, prompts, progress);
}

bool exportHistoryToFile(Database& db, const HistoryOrder& order, const QStringList& headings,
                         const QString& fileName, Prompts& prompts, ProgressIndicator& progress,
                         qint64 sheetRows) {
    const std::optional<qint64> rows = listedRows(db, order);
    if (!rows || refuseEmpty(*rows, prompts) || refuseTooMany(*rows, fileName, sheetRows, prompts))
        return false;
    return writeHistory(db, order, headings, fileName, *rows, prompts, progress);
}
