#pragma once

#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class Database;
class ProgressIndicator;
class Prompts;
struct HistoryOrder;

// The most data rows a worksheet holds below its heading row (1,048,576 rows in all).
inline constexpr qint64 kWorksheetDataRows = 1048575;

// Exports the history grid's rows, read from the database in the order as they are written,
// never all at once. `headings` are the grid's 18 heading texts as shown; the sort marker of
// the sorted column is not written, nor, like the hidden ID column itself, the first heading.
// `gridWidths` are the grid's column widths in twips, which the workbook's follow. The flow
// of ExportGrid: "表格中没有数据！" without rows, the save dialog proposing
// "历史记录-YYYYMMDD.xlsx" of `today`, the overwrite question, then a history of more rows
// than a worksheet holds (`sheetRows`) is refused for a workbook, with a message that
// suggests CSV, before anything is written; once written, "已导出 N 行到 FILE". Returns
// whether a file was written.
bool chooseFileAndExportHistory(Database& db, const HistoryOrder& order,
                                const QStringList& headings, const std::vector<int>& gridWidths,
                                const QDate& today, Prompts& prompts, ProgressIndicator& progress,
                                qint64 sheetRows = kWorksheetDataRows);

// The same into a file chosen beforehand (the export verb): the messages for no rows and for
// too many rows for a workbook, then CSV when the name ends in "csv" (any case), else a
// workbook whose column widths fit its texts. In the workbook, amounts that are exact are
// numbers shown "￥#,##0.00" and dates are dates; in CSV every cell is its text as the grid
// shows it. On failure shows "文件保存出错！" and the old file stays as it was.
bool exportHistoryToFile(Database& db, const HistoryOrder& order, const QStringList& headings,
                         const QString& fileName, Prompts& prompts, ProgressIndicator& progress,
                         qint64 sheetRows = kWorksheetDataRows);
