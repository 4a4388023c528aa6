#include "HistoryColumns.h"

#include "ChequeFields.h"

using namespace Qt::StringLiterals;

namespace {

// The row ID, the running number and the print date, then one column for each field that
// heads a history column, in field order, and last the cheque book's number.
QStringList gridColumns(QStringList first, QStringView ChequeFieldInfo::*member) {
    for (const ChequeFieldInfo& field : chequeFields())
        if (!field.historyHeading.isEmpty())
            first << (field.*member).toString();
    return first << kHistoryNumberColumn;
}

}  // namespace

const QStringList& historyGridNames() {
    static const QStringList names =
        gridColumns({u"ID"_s, u""_s, u"Dat"_s}, &ChequeFieldInfo::historyColumn);
    return names;
}

const QStringList& historyGridHeadings() {
    static const QStringList headings =
        gridColumns({u"ID"_s, u"序号"_s, u"打印时间"_s}, &ChequeFieldInfo::historyHeading);
    return headings;
}
