#pragma once

#include <optional>
#include <vector>

#include <QtGlobal>

class Database;
struct HistoryOrder;

// The IDs of the history's rows that the order's filter lets through, in the order, the
// unlisted ones (last-input rows, rows without a date) among them except in the order of
// keeping. Nothing after the database's message.
std::optional<std::vector<qint64>> sortedHistoryIds(Database& db, const HistoryOrder& order);
