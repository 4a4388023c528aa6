#include "HistoryColumns.h"

#include <vector>

#include "ChequeFields.h"

using namespace Qt::StringLiterals;

namespace {

// The row ID, the running number and the print date, then one column for each field that
// heads a history column, in field order, whether a slip was printed from a cheque, and last the
// cheque book's number.
QStringList gridColumns(const DocumentKind& kind, QStringList first,
                        QStringView ChequeFieldInfo::*member) {
    for (const ChequeFieldInfo& field : kind.fields)
        if (!field.historyHeading.isEmpty())
            first << (field.*member).toString();
    if (kind.id == transferCheque().id)
        first << kSlipPrintedColumn;
    if (kind.numbered)
        first << kHistoryNumberColumn;
    return first;
}

struct GridColumns {
    QStringList names;
    QStringList headings;
};

// Each kind's columns, made once: the grid asks for them at every cell it paints.
const GridColumns& columnsOf(const DocumentKind& kind) {
    static const std::vector<GridColumns> made = [] {
        std::vector<GridColumns> columns;
        for (const DocumentKind* each : documentKinds())
            columns.push_back(
                {gridColumns(*each, {u"ID"_s, u""_s, u"Dat"_s}, &ChequeFieldInfo::historyColumn),
                 gridColumns(*each, {u"ID"_s, u"序号"_s, u"打印时间"_s},
                             &ChequeFieldInfo::historyHeading)});
        return columns;
    }();
    const std::span<const DocumentKind* const> kinds = documentKinds();
    for (size_t i = 0; i < kinds.size(); ++i)
        if (kinds[i]->id == kind.id)
            return made[i];
    return made.front();  // a kind the program does not know has no history of its own
}

}  // namespace

const QStringList& historyGridNames(const DocumentKind& kind) {
    return columnsOf(kind).names;
}

const QStringList& historyGridHeadings(const DocumentKind& kind) {
    return columnsOf(kind).headings;
}
