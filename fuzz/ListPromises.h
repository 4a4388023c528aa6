#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>

#include <QSet>
#include <QString>

#include "PaymentList.h"

// Stops the fuzzer with a message naming the promise a payment-list reader broke.
[[noreturn]] inline void brokenPromise(const QString& what) {
    std::fprintf(stderr, "\n== payment list reader: %s\n", what.toUtf8().constData());
    std::abort();
}

// Checks what a reader made of some bytes: a list whose rows have one cell per heading, one
// column per heading, no more headings or rows than a list may have, no field in two columns,
// row lines that rise from 1 and cell problems only in the row's cells; or nothing, with the
// reason.
inline void checkPaymentList(const std::optional<PaymentList>& list, const QString& error) {
    using namespace Qt::StringLiterals;
    if (!list) {
        if (error.isEmpty())
            brokenPromise(u"the list is refused without a reason"_s);
        return;
    }
    const qsizetype width = list->headings.size();
    if (list->columns.size() != width)
        brokenPromise(u"%1 columns for %2 headings"_s.arg(list->columns.size()).arg(width));
    if (width > kMaxPaymentColumns)
        brokenPromise(u"%1 headings"_s.arg(width));
    if (list->rows.size() > kMaxPaymentRows)
        brokenPromise(u"%1 rows"_s.arg(list->rows.size()));
    QSet<int> fields;
    for (int column : list->columns) {
        if (column < PaymentList::kIssueDate)
            brokenPromise(u"a heading's column is %1"_s.arg(column));
        if (column != PaymentList::kUnknown && fields.contains(column))
            brokenPromise(u"two headings fill field %1"_s.arg(column));
        fields.insert(column);
    }
    int previousLine = 0;
    for (const PaymentList::Row& row : list->rows) {
        if (row.cells.size() != width)
            brokenPromise(u"the row on line %1 has %2 cells for %3 headings"_s.arg(row.line)
                              .arg(row.cells.size())
                              .arg(width));
        if (row.line <= previousLine)
            brokenPromise(
                u"the row on line %1 follows one on line %2"_s.arg(row.line).arg(previousLine));
        previousLine = row.line;
        for (auto column = row.cellProblems.keyBegin(); column != row.cellProblems.keyEnd();
             ++column)
            if (*column < 0 || *column >= width)
                brokenPromise(u"the row on line %1 has a problem in column %2 of %3"_s.arg(row.line)
                                  .arg(*column)
                                  .arg(width));
    }
}
