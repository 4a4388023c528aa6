#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A list of payments for batch printing, read from a CSV file or an Excel workbook: its
// headings, which field each column fills, and its rows with the line each one starts on (as a
// spreadsheet numbers it).
struct PaymentList {
    // A column that fills a cheque field (its position index), the issue date, or nothing.
    static constexpr int kIssueDate = -2;
    static constexpr int kUnknown = -1;

    struct Row {
        int line;           // 1-based
        QStringList cells;  // as many as there are headings
        // Per column: why a cell's text is not what the sheet shows (a number shown with fewer
        // decimals than it has), reported instead of the cell's value.
        QMap<int, QString> cellProblems = {};
    };

    QStringList headings;
    QList<int> columns;           // per heading: a position index, kIssueDate or kUnknown
    QStringList unknownHeadings;  // reported to the user
    QList<Row> rows;              // blank rows are left out
};

// Reads a CSV payment list: UTF-8 (with or without a byte-order mark) when the bytes are valid
// UTF-8, GB18030 otherwise; quotes, commas and line breaks inside quoted values as RFC 4180
// says. The first non-empty row holds the headings: the history's (收款人全称 or 收款人, 金额,
// 用途, 出票日期, 账号, 密码, 银行, 附加信息, 主管, 会计, 收款人(票根), 用途(票根)) or the fields'
// identifiers (票身-收款人, 小写金额, ...). Nothing, with the reason, for a file without headings
// or with an unclosed quote.
std::optional<PaymentList> ReadCsvPaymentList(const QByteArray& bytes, QString* error);

// Reads a payment list file: an Excel workbook (.xlsx) when its bytes or its name say so, CSV
// otherwise. Nothing, with the reason, for a file that cannot be read or is no list.
std::optional<PaymentList> ReadPaymentListFile(const QString& path, QString* error);

// The most columns a payment list's headings may have.
constexpr int kMaxPaymentColumns = 256;

// The list that records read from a file make: the first non-empty one holds the headings, the
// blank ones after it are left out, and every row is cut or filled up with empty cells to the
// headings' width. Nothing, with the reason, when every record is blank or the headings are
// more than kMaxPaymentColumns.
std::optional<PaymentList> PaymentListFromRecords(const QList<PaymentList::Row>& records,
                                                  QString* error);

// The cheque field (position index) or kIssueDate that a heading names; kUnknown for others.
int paymentColumnOf(const QString& heading);
