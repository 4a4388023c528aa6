#pragma once

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
// never all at once. `headings` are the grid's 18 heading texts as shown (the sorted column's
// with its marker); like the hidden ID column itself, the first is not written. The flow of
// ExportGrid: "表格中没有数据！" without rows, the save dialog, the overwrite question, then a
// history of more rows than a worksheet holds (`sheetRows`) is refused for a workbook, with a
// message that suggests CSV, before anything is written. Returns whether a file was written.
bool chooseFileAndExportHistory(Database& db, const HistoryOrder& order,
                                const QStringList& headings, Prompts& prompts,
                                ProgressIndicator& progress, qint64 sheetRows = kWorksheetDataRows);

// The same into a file chosen beforehand (the export verb): the messages for no rows and for
// too many rows for a workbook, then CSV when the name ends in "csv" (any case), else a
// workbook. On failure shows "文件保存出错！" and the old file stays as it was.
bool exportHistoryToFile(Database& db, const HistoryOrder& order, const QStringList& headings,
                         const QString& fileName, Prompts& prompts, ProgressIndicator& progress,
                         qint64 sheetRows = kWorksheetDataRows);
