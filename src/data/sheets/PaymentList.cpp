#include "PaymentList.h"

#include <algorithm>
#include <utility>

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "ChequeFields.h"
#include "DatabaseFiles.h"
#include "FormulaGuard.h"
#include "HistoryColumns.h"
#include "XlsxPaymentList.h"

using namespace Qt::StringLiterals;

namespace {

QString decode(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb18030("GB18030");
    return gb18030(bytes);
}

bool isBlank(const QStringList& cells) {
    for (const QString& cell : cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

// The history's CSV export puts a "'" before a value that a spreadsheet would run as a formula:
// under the headings that export writes, the quote is taken back, so that a payee "+1+1" prints
// as it was typed and not as "'+1+1". A list typed by hand under the fields' identifiers is
// no export: its values stay as they are.
void takeBackFormulaGuards(PaymentList& list, const DocumentKind& kind) {
    const QStringList exported = historyGridHeadings(kind).mid(1);  // the export leaves out the ID
    for (qsizetype c = 0; c < list.headings.size(); ++c) {
        if (!exported.contains(list.headings[c]))
            continue;
        for (PaymentList::Row& row : list.rows)
            row.cells[c] = withoutFormulaGuard(row.cells[c]);
    }
}

}  // namespace

int paymentColumnOf(const QString& heading, const DocumentKind& kind) {
    const QString name = heading.trimmed();
    if (name == issueDateColumn())
        return PaymentList::kIssueDate;
    // The headings the fields take in a payment list, then their identifiers.
    for (const ChequeFieldInfo& field : kind.fields)
        for (QStringView alias : field.paymentHeadings)
            if (!alias.isEmpty() && name == alias)
                return field.index;
    const int field = fieldByIdentifier(kind, name);
    return field >= 0 ? field : PaymentList::kUnknown;
}

std::optional<PaymentList> readCsvPaymentList(const QByteArray& bytes, QString* error,
                                              const DocumentKind& kind) {
    const QString text = decode(bytes);
    // RFC 4180: records of fields split at commas; a quoted field may hold commas, quotes
    // (doubled) and line breaks. CR LF, LF and CR end a record. A spreadsheet shows each record
    // as one row, so a row's line counts records, not the line breaks inside values.
    PaymentListBuilder list(kind);
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    int column = 0;
    auto endField = [&] {
        list.setCell(column++, field);
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endField();
            if (!list.endRecord(error))
                return std::nullopt;
            list.startRecord(++line);
            column = 0;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        *error = u"第%1行的引号没有结束"_s.arg(line);
        return std::nullopt;
    }
    endField();
    if (!list.endRecord(error))
        return std::nullopt;
    std::optional<PaymentList> read = list.finish(error);
    if (read)
        takeBackFormulaGuards(*read, kind);
    return read;
}

std::optional<PaymentList> readPaymentListFile(const QString& path, QString* error,
                                               const DocumentKind& kind) {
    if (isDatabaseFile(path)) {  // reading it would drop the database's locks
        *error = u"无法读取文件%1：这是程序的数据库文件"_s.arg(path);
        return std::nullopt;
    }
    // A device, a pipe or a folder is no list: reading one may never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        *error = u"无法读取文件%1：这不是普通文件"_s.arg(path);
        return std::nullopt;
    }
    const QString tooLarge =
        u"无法读取文件%1：文件太大（超过%2MB）"_s.arg(path).arg(kMaxPaymentFileSize >> 20);
    if (info.size() > kMaxPaymentFileSize) {
        *error = tooLarge;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"无法读取文件%1：%2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    // One byte more than the limit tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(kMaxPaymentFileSize + 1);
    if (bytes.size() > kMaxPaymentFileSize) {
        *error = tooLarge;
        return std::nullopt;
    }
    // The workbook reader also names the old binary Excel files (.xls) it cannot read; a file
    // named .xls that holds text is read as CSV.
    const bool workbook = bytes.startsWith("PK\x03\x04") || bytes.startsWith("\xD0\xCF\x11\xE0") ||
                          path.endsWith(u".xlsx"_s, Qt::CaseInsensitive);
    return workbook ? readXlsxPaymentList(bytes, error, kind)
                    : readCsvPaymentList(bytes, error, kind);
}

void PaymentListBuilder::setCell(int column, const QString& text, const QString& problem) {
    // Before the headings are known, a record keeps as many cells as headings may be.
    const int width = headed_ ? int(list_.headings.size()) : kMaxPaymentColumns;
    if (column >= width) {
        valueBeyond_ = valueBeyond_ || !text.trimmed().isEmpty();
        return;
    }
    if (!problem.isEmpty())
        record_.cellProblems.insert(column, problem);
    // Empty cells leave no gap to fill.
    if (column < record_.cells.size()) {
        record_.cells[column] = text;
    } else if (!text.isEmpty()) {
        record_.cells.resize(column);
        record_.cells << text;
    }
}

void PaymentListBuilder::hideColumns(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, kMaxPaymentColumns - 1);
    if (first <= last)
        hiddenColumns_.fill(true, first, last + 1);
}

bool PaymentListBuilder::endRecord(QString* error) {
    PaymentList::Row record = std::exchange(record_, {record_.line + 1, {}});
    const bool valueBeyond = std::exchange(valueBeyond_, false);
    if (isBlank(record.cells) && !valueBeyond)
        return true;
    if (headed_) {
        if (list_.rows.size() >= kMaxPaymentRows) {
            *error = u"付款行太多（超过%1行）"_s.arg(kMaxPaymentRows);
            return false;
        }
        record.cells.resize(list_.headings.size());  // cells beyond the headings are no column's
        list_.rows << record;
        return true;
    }
    if (valueBeyond) {
        *error = u"标题行的列太多（超过%1列）"_s.arg(kMaxPaymentColumns);
        return false;
    }
    // Nobody checking the sheet would see which column is which.
    if (record.hidden) {
        *error = u"标题行（第%1行）在表格中被隐藏"_s.arg(record.line);
        return false;
    }
    headed_ = true;
    for (const QString& heading : record.cells) {
        const QString name = heading.trimmed();
        const int column = paymentColumnOf(name, *kind_);
        // Two columns for one field would leave which one prints to chance.
        if (const qsizetype same =
                column == PaymentList::kUnknown ? -1 : list_.columns.indexOf(column);
            same >= 0) {
            *error = u"标题“%1”和“%2”填的是同一栏，只能保留一列"_s.arg(list_.headings[same], name);
            return false;
        }
        // A column nobody checking the sheet sees must not fill a field.
        if (column != PaymentList::kUnknown && hiddenColumns_.testBit(int(list_.headings.size()))) {
            *error = u"“%1”列在表格中被隐藏"_s.arg(name);
            return false;
        }
        list_.headings << name;
        list_.columns << column;
        if (column == PaymentList::kUnknown && !name.isEmpty())
            list_.unknownHeadings << name;
    }
    return true;
}

std::optional<PaymentList> PaymentListBuilder::finish(QString* error) {
    if (!headed_) {
        *error = u"文件中没有标题行"_s;
        return std::nullopt;
    }
    return std::move(list_);
}
