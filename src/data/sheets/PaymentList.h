#pragma once

#include <optional>

#include <QBitArray>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "DocumentKind.h"

// A list of payments for batch printing, read from a CSV file or an Excel workbook: its
// headings, which field each column fills, and its rows with the line each one starts on (as a
// spreadsheet numbers it).
struct PaymentList {
    // A column that fills a field of the list's kind (its position index), the issue date, or
    // nothing.
    static constexpr int kIssueDate = -2;
    static constexpr int kUnknown = -1;

    struct Row {
        int line;           // 1-based
        QStringList cells;  // as many as there are headings
        // Per column: why a cell's text is not what the sheet shows (a number shown with fewer
        // decimals than it has), reported instead of the cell's value.
        QMap<int, QString> cellProblems = {};
        bool hidden = false;  // hidden in the sheet: a reviewer does not see it
    };

    QStringList headings;
    QList<int> columns;           // per heading: a position index, kIssueDate or kUnknown
    QStringList unknownHeadings;  // reported to the user
    QList<Row> rows;              // blank rows are left out
    QStringList hiddenSheets;     // a workbook's hidden sheets before the one read, by name
};

// Reads a CSV payment list of `kind` (a list of transfer cheques unless told): UTF-8 (with or
// without a byte-order mark) when the bytes are valid UTF-8, GB18030 otherwise; quotes, commas
// and line breaks inside quoted values as RFC 4180 says. The first non-empty row holds the
// headings: 出票日期, the kind's payment-list headings (收款人全称 or 收款人, 金额, 用途, ...:
// see paymentColumnOf) or its fields' identifiers (票身-收款人, 小写金额, ...). Under the
// headings of the kind's history export, a value's leading "'" that the export added to keep it
// from running as a formula is taken off again (withoutFormulaGuard); other columns keep their
// values as they are. Nothing, with the reason, for a file with an unclosed quote or a list
// that PaymentListBuilder refuses.
std::optional<PaymentList> readCsvPaymentList(const QByteArray& bytes, QString* error,
                                              const DocumentKind& kind = transferCheque());

// Reads a payment list file of `kind`: an Excel workbook (.xlsx) when its bytes or its name say
// so, CSV otherwise. Nothing, with the reason, for a file that cannot be read, is larger than
// kMaxPaymentFileSize (refused before it is read) or is no list.
std::optional<PaymentList> readPaymentListFile(const QString& path, QString* error,
                                               const DocumentKind& kind = transferCheque());

// The most columns a payment list's headings may have.
constexpr int kMaxPaymentColumns = 256;
// The most payment rows a list may have.
constexpr int kMaxPaymentRows = 10000;
// The largest payment list file that is read.
constexpr qint64 kMaxPaymentFileSize = 20 * 1024 * 1024;

// Makes a payment list of a kind from the records a reader finds, one at a time, keeping no more
// than the list needs: the first non-empty record holds the headings, the blank ones after it are
// left out, and of the others only the cells under a heading are kept, filled up with empty cells
// to the headings' width. A value far to the right of the headings costs nothing, and a list that
// passes a limit is refused as soon as it does.
class PaymentListBuilder {
public:
    // The headings name the fields of `kind`.
    explicit PaymentListBuilder(const DocumentKind& kind = transferCheque()) : kind_(&kind) {}

    // Starts a record on `line` (1-based), which the sheet may hide; the one before must have
    // ended.
    void startRecord(int line, bool hidden = false) { record_ = {line, {}, {}, hidden}; }
    // The current record's line, which a reader may set once it knows it better.
    void setLine(int line) { record_.line = line; }
    // Notes that the sheet hides the columns from `first` to `last` (0-based): a heading there
    // that names a field refuses the list.
    void hideColumns(int first, int last);
    // Sets the text of the current record's cell in `column` (0-based), and why it is not what
    // the sheet shows when it is not.
    void setCell(int column, const QString& text, const QString& problem = {});
    // Ends the current record. False, with the reason, when the headings are hidden, name more
    // than kMaxPaymentColumns columns or two columns for one field, or the list has more than
    // kMaxPaymentRows rows.
    bool endRecord(QString* error);
    // The list, once the last record has ended; nothing, with the reason, without headings.
    std::optional<PaymentList> finish(QString* error);

private:
    const DocumentKind* kind_;
    PaymentList list_;
    bool headed_ = false;
    PaymentList::Row record_{1, {}};
    bool valueBeyond_ = false;  // the record has a value right of the cells it keeps
    QBitArray hiddenColumns_{kMaxPaymentColumns};
};

// The field of `kind` (position index) or kIssueDate that a heading names; kUnknown for others.
int paymentColumnOf(const QString& heading, const DocumentKind& kind = transferCheque());
