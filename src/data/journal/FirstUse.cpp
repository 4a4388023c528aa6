#include "FirstUse.h"

#include "Database.h"
#include "PrintJournal.h"

using namespace Qt::StringLiterals;

bool firstUse(Database& db, const QString& format) {
    std::optional<QSqlQuery> query = db.select(
        u"SELECT CASE WHEN EXISTS (SELECT 1 FROM 历史记录) OR EXISTS (SELECT 1 FROM "
        u"打印日志 WHERE 种类=? AND 格式=? AND 结果=?) THEN 0 ELSE 1 END"_s,
        {kCalibrationJob, format, kPrinted});
    return query && query->next() && query->value(0).toInt() == 1;
}
