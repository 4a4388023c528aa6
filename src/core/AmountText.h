#pragma once

#include <optional>

#include <QString>
#include <QStringView>

// The plain number ("1234.5") that an amount as written names: digits with at most one point
// and at most two decimals, thousands separated by "," in groups of three or not at all, maybe
// after ￥ or ¥; blanks around it are ignored and full-width digits and points read as ASCII ones;
// at most eight integer digits. Nothing, with the reason ("不是有效的金额", "小数超过两位",
// "整数超过八位"), for anything else: an amount is never cut, rounded or read in part.
std::optional<QString> plainAmount(QStringView text, QString* reason);

// ￥ and the yuan of `cents` with their thousands separated, as a cashier reads them:
// 1234567 -> ￥12,345.67.
QString groupedYuan(qint64 cents);
// The same of an amount in figure form: ￥12345.67 -> ￥12,345.67.
QString groupedFigures(QStringView figures);
