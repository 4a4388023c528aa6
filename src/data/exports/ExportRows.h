#pragma once

#include <optional>
#include <vector>

#include <QStringList>

class BoundGrid;

// What a column holds, for a workbook: texts as they are, amounts in figures (a number cell
// where the text is an exact amount), or dates (a date cell where the text is a date).
enum class ExportColumn { Text, Amount, Date };

// A grid's twips to a workbook's column width in characters.
inline constexpr int kTwipsPerWorkbookCharacter = 123;

// What an export writes: a heading row, then the data rows one at a time, each with as many
// texts as the heading row. The writers hold one row at a time, so a source may read its rows
// from the database as they are written.
class ExportRows {
public:
    virtual ~ExportRows() = default;

    virtual const QStringList& headings() const = 0;
    // How many data rows follow the headings, for the progress.
    virtual qint64 count() const = 0;
    // The next data row's texts; false after the last one, or when reading failed.
    virtual bool next(QStringList& texts) = 0;
    // Whether reading stopped on a failure rather than after the last row.
    virtual bool failed() const { return false; }
    // The workbook's column widths in characters when the source knows them beforehand;
    // otherwise the workbook measures the texts it writes.
    virtual std::optional<std::vector<int>> columnWidths() const { return std::nullopt; }
    // What each column holds; every column holds texts when the source does not say.
    virtual std::vector<ExportColumn> columnKinds() const { return {}; }
};

// What a grid shows: the visible cells of its heading row (its last fixed row) without the sort
// marker, then of each visible data row, in grid order. Column widths are the grid's twips / 123,
// truncated.
class GridRows final : public ExportRows {
public:
    explicit GridRows(const BoundGrid& grid);

    const QStringList& headings() const override { return m_headings; }
    qint64 count() const override;
    bool next(QStringList& texts) override;
    std::optional<std::vector<int>> columnWidths() const override;

private:
    const BoundGrid& m_grid;
    std::vector<int> m_columns;  // the visible columns
    QStringList m_headings;
    int m_row;
};
