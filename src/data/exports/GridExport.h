#pragma once

#include <QDate>
#include <QString>

class BoundGrid;
class ExportRows;
class ProgressIndicator;
class Prompts;

// Writes what the grid shows (its visible rows and columns, heading row first) to a file the
// user chooses: after "表格中没有数据！" for a grid without data, the save dialog (proposing
// "SHEETNAME-YYYYMMDD.xlsx" of `today` in the folder of the last export), and the overwrite
// question for an existing file (the only one: the dialog asks none), a name ending in "csv"
// (any case) gives CSV and any other a workbook. A name without an ending gets ".csv" or
// ".xlsx" as the dialog's choice of file type says. The old file is only replaced once the
// new one is complete; then a message says how many rows went where. Returns whether a file
// was written.
bool ExportGrid(const BoundGrid& grid, Prompts& prompts, const QString& sheetName,
                const QDate& today, ProgressIndicator& progress);

// Writes the grid to the file, as CSV when its name ends in "csv" (any case), else as a
// workbook. On failure shows "文件保存出错！" (the reason goes to stderr) and the old file
// stays as it was.
bool exportGridToFile(const BoundGrid& grid, const QString& fileName, const QString& sheetName,
                      ProgressIndicator& progress, Prompts& prompts);

// The dialog part of an export: the save dialog proposing `proposedName` in the folder of the
// last export, then the ending from the dialog's choice of file type for a name typed without
// one. Empty when the user cancelled.
QString chooseExportFile(Prompts& prompts, const QString& proposedName);
// The name an export proposes: "历史记录-20261208.xlsx" of "历史记录" on 8 December 2026.
QString proposedExportName(const QString& what, const QDate& today);
// What the user reads once an export is written: "已导出 1,234 行到 /path/file.xlsx".
QString exportedMessage(qint64 rows, const QString& fileName);
// Whether the chosen file may be written: the open database never; an existing file only after
// "该文件已存在，是否覆盖？" is answered Yes, and only when it can be replaced (else a message).
bool mayReplaceExportFile(const QString& fileName, Prompts& prompts);
// Whether an export to this file writes CSV (the name ends in "csv", any case) or a workbook.
bool isCsvExportName(const QString& fileName);

// The name of the worksheet that the history export writes.
QString historySheetName();

// The save dialog's choices.
QString exportFilter();

// CSV: fields joined by ",", lines ended by CR LF, in the system's code page (ANSI on
// Windows, UTF-8 elsewhere), no byte-order mark. Written completely or not at all; false on
// failure, with the reason on stderr.
bool ExportCsv(const BoundGrid& grid, const QString& fileName, ProgressIndicator& progress);
// The same for any rows: the heading row, then each row as it is read.
bool ExportCsv(ExportRows& rows, const QString& fileName, ProgressIndicator& progress);
// One field of a CSV line: quotes doubled, and the field quoted when it holds a comma, a quote
// or a line break, so that it reads back as one value. A text that a spreadsheet would take
// for a formula gets a leading "'", so it opens as text: one beginning with =, +, -, @ after
// any blanks, with a tab or with a carriage return, and also such a text behind quotes of its
// own ("'=x" becomes "''=x"), so that withoutFormulaGuard gives back exactly the text.
QString csvField(const QString& text);

// An .xlsx workbook of one worksheet named `sheetName`: texts as string cells (never formulas,
// so "=x" needs no quote, and "_x0041_" is escaped to show as typed), the heading row
// bold on fill RGB(255, 192, 128), column widths of the grid's twips / 123, thin borders
// around every cell of the used block. A text longer than a cell holds (32,767 characters)
// is cut before the first character that does not fit whole, and a message says how many were
// cut. On failure shows "文件保存出错！" and leaves no file.
bool ExportExcel(const BoundGrid& grid, const QString& fileName, const QString& sheetName,
                 ProgressIndicator& progress, Prompts& prompts);
// The same for any rows, written as they are read. Columns whose widths the rows do not give
// are as wide as their widest text (a Chinese character counting two), plus two, at most 50.
// In a column the rows name an amount column, an exact amount is a number shown
// "￥"#,##0.00; in a date column, a date is a date shown yyyy-mm-dd (with hh:mm when it has
// a time); either column is widened to what such a cell shows. Other texts stay texts.
bool ExportExcel(ExportRows& rows, const QString& fileName, const QString& sheetName,
                 ProgressIndicator& progress, Prompts& prompts);

// The most characters a workbook cell holds, counted as the spreadsheet does: in UTF-16 units,
// two for a character outside the Basic Multilingual Plane.
inline constexpr int kMaxCellCharacters = 32767;

// Spreadsheet column letters of a 1-based column number: 1 -> A, 26 -> Z, 27 -> AA.
QString ColumnLetters(qint32 column);
