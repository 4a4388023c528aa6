#include "PaymentList.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "ChequeFields.h"
#include "DatabaseFiles.h"
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

}  // namespace

int paymentColumnOf(const QString& heading) {
    const QString name = heading.trimmed();
    if (name == u"出票日期")
        return PaymentList::kIssueDate;
    // The history's own headings and column names, then the fields' identifiers.
    const std::pair<const char16_t*, int> history[] = {{u"收款人全称", Field::Payee},
                                                       {u"收款人", Field::Payee},
                                                       {u"金额", Field::Amount},
                                                       {u"用途", Field::Purpose},
                                                       {u"账号", Field::Account},
                                                       {u"密码", Field::Password},
                                                       {u"银行", Field::Bank},
                                                       {u"附加信息", Field::AdditionalInfo},
                                                       {u"主管", Field::Supervisor},
                                                       {u"主管(票根)", Field::Supervisor},
                                                       {u"会计", Field::Accountant},
                                                       {u"会计(票根)", Field::Accountant},
                                                       {u"收款人(票根)", Field::StubPayee},
                                                       {u"用途(票根)", Field::StubPurpose}};
    for (const auto& [text, field] : history)
        if (name == QStringView(text))
            return field;
    const int field = fieldIndexByIdentifier(name);
    return field >= 0 ? field : PaymentList::kUnknown;
}

std::optional<PaymentList> ReadCsvPaymentList(const QByteArray& bytes, QString* error) {
    const QString text = decode(bytes);
    // RFC 4180: records of fields split at commas; a quoted field may hold commas, quotes
    // (doubled) and line breaks. CR LF, LF and CR end a record. A spreadsheet shows each record
    // as one row, so a row's line counts records, not the line breaks inside values.
    QList<PaymentList::Row> records;
    PaymentList::Row record{1, {}};
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    int line = 1;
    auto endField = [&] {
        record.cells << field;
        field.clear();
        fieldStarted = false;
    };
    auto endRecord = [&] {
        endField();
        records << record;
        record = {line, {}};
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
            ++line;
            endRecord();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted) {
        *error = u"第%1行的引号没有结束"_s.arg(record.line);
        return std::nullopt;
    }
    if (fieldStarted || !field.isEmpty() || !record.cells.isEmpty())
        endRecord();
    return PaymentListFromRecords(records, error);
}

std::optional<PaymentList> ReadPaymentListFile(const QString& path, QString* error) {
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"无法读取文件%1：%2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    // The workbook reader also names the old binary Excel files (.xls) it cannot read; a file
    // named .xls that holds text is read as CSV.
    const bool workbook = bytes.startsWith("PK\x03\x04") || bytes.startsWith("\xD0\xCF\x11\xE0") ||
                          path.endsWith(u".xlsx"_s, Qt::CaseInsensitive);
    return workbook ? ReadXlsxPaymentList(bytes, error) : ReadCsvPaymentList(bytes, error);
}

std::optional<PaymentList> PaymentListFromRecords(const QList<PaymentList::Row>& records,
                                                  QString* error) {
    PaymentList list;
    qsizetype first = 0;
    while (first < records.size() && isBlank(records[first].cells))
        ++first;
    if (first == records.size()) {
        *error = u"文件中没有标题行"_s;
        return std::nullopt;
    }
    // Every row is made as wide as the headings: a stray value far to the right of them must
    // not make a small file fill the memory.
    if (records[first].cells.size() > kMaxPaymentColumns) {
        *error = u"标题行的列太多（超过%1列）"_s.arg(kMaxPaymentColumns);
        return std::nullopt;
    }
    for (const QString& heading : records[first].cells) {
        const QString name = heading.trimmed();
        list.headings << name;
        list.columns << paymentColumnOf(name);
        if (list.columns.back() == PaymentList::kUnknown && !name.isEmpty())
            list.unknownHeadings << name;
    }
    for (qsizetype r = first + 1; r < records.size(); ++r) {
        if (isBlank(records[r].cells))
            continue;
        PaymentList::Row row = records[r];
        row.cells.resize(list.headings.size());  // cells beyond the headings belong to no column
        list.rows << row;
    }
    return list;
}
