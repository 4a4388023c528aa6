#pragma once

#include <QString>

class BoundGrid;
class ProgressIndicator;
class Prompts;

// Writes what the grid shows (its visible rows and columns, heading row first) to a file the
// user chooses: after "表格中没有数据！" for a grid without data, the save dialog, and the
// overwrite question for an existing file, a name ending in "csv" (any case) gives CSV and
// any other a workbook. The old file is only replaced once the new one is complete. Returns
// whether a file was written.
bool ExportGrid(const BoundGrid& grid, Prompts& prompts, const QString& sheetName,
                ProgressIndicator& progress);

// The save dialog's choices.
QString exportFilter();

// CSV: fields joined by ",", quotes doubled and the field quoted when it holds a comma or a
// quote, lines ended by CR LF, in the system's code page (ANSI on Windows, UTF-8 elsewhere),
// no byte-order mark. Writes under a temporary name and takes the file's own name at the end;
// false (and no file) on failure.
bool ExportCsv(const BoundGrid& grid, const QString& fileName, ProgressIndicator& progress);
// One field of a CSV line.
QString csvField(const QString& text);

// An .xlsx workbook of one worksheet named `sheetName`: texts as strings, the heading row
// bold on fill RGB(255, 192, 128), column widths of the grid's twips / 123, thin borders
// around every cell of the used block. On failure shows "文件保存出错！" and leaves no file.
bool ExportExcel(const BoundGrid& grid, const QString& fileName, const QString& sheetName,
                 ProgressIndicator& progress, Prompts& prompts);

// Spreadsheet column letters of a 1-based column number: 1 -> A, 26 -> Z, 27 -> AA.
QString ColumnLetters(qint32 column);
