#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

// What the cashier narrows the history grid to: a text as typed, found inside the payee, the
// amount, the account or the cheque number, and a range of print dates (both days included).
// An empty text and invalid dates narrow nothing.
struct HistoryFilter {
    QString text;
    QDate from;
    QDate to;

    bool isActive() const;
    bool operator==(const HistoryFilter&) const = default;
};

// A condition of a statement with the values of its placeholders, in order.
struct SqlCondition {
    QString sql;
    QVariantList values;
};

// The condition that keeps the rows the filter lets through; empty when it lets all through.
// The typed text is only ever a bound value, its % and _ escaped. Latin letters match in
// either case, other characters as they are, alike in a file and on a server.
SqlCondition historyFilterCondition(const HistoryFilter& filter, bool server);
