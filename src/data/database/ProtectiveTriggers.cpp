// The program's own triggers in a file, which keep the print journal and the cheque register
// to the changes the program makes, and the check that they, and the tables, are as it made them.
#include "ProtectiveTriggers.h"

#include <algorithm>

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "Database.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

// The one change the journal allows: an entry still marked 打印中 gets its outcome and, when
// the cheque was kept, its history row; every other column stays as written. Before the
// journal named who printed, it had no 用户 to keep.
QString outcomeOnlyChange(bool withLogin) {
    return u"OLD.结果 = '打印中' AND NEW.结果 IN ('已打印', '打印失败') AND OLD.历史ID IS NULL "
           u"AND NEW.ID = OLD.ID AND NEW.时间 = OLD.时间 AND NEW.种类 = OLD.种类 "
           u"AND NEW.打印机 = OLD.打印机 AND NEW.格式 = OLD.格式 AND NEW.内容 = OLD.内容"_s +
           (withLogin ? u" AND NEW.用户 = OLD.用户"_s : QString());
}

}  // namespace

QString fileUpdateTrigger(bool withLogin) {
    return u"CREATE TRIGGER 打印日志_不可修改 BEFORE UPDATE ON 打印日志 WHEN NOT ("_s +
           outcomeOnlyChange(withLogin) + u") BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s;
}

QString serverUpdateFunction(bool withLogin) {
    return u"CREATE OR REPLACE FUNCTION 打印日志_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
           u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '打印日志不可删除'; END IF; "
           u"IF "_s +
           outcomeOnlyChange(withLogin) +
           u" THEN RETURN NEW; END IF; RAISE EXCEPTION '打印日志不可修改'; END $$"_s;
}

// The changes a taken number allows: 打印中 becomes 已打印 (with the cheque it carried) or
// 已作废, 已打印 becomes 已作废, and a number still printing counts its reprints up. Which
// number it is, when and by whom it was taken, and what it replaces never change.
QString numberChangeAllowed() {
    return u"NEW.ID = OLD.ID AND NEW.支票簿ID = OLD.支票簿ID AND NEW.号码 = OLD.号码 "
           u"AND NEW.时间 = OLD.时间 AND NEW.用户 = OLD.用户 AND NEW.打印取号 = OLD.打印取号 "
           u"AND NEW.替代ID IS NOT DISTINCT FROM OLD.替代ID AND NEW.重打次数 >= OLD.重打次数 AND ("
           u"(OLD.状态 = '打印中' AND NEW.状态 IN ('打印中', '已打印', '已作废')) OR "
           u"(OLD.状态 = '已打印' AND NEW.状态 = '已作废' AND NEW.出票日期 = OLD.出票日期 "
           u"AND NEW.收款人 = OLD.收款人 AND NEW.金额 = OLD.金额 "
           u"AND NEW.历史ID IS NOT DISTINCT FROM OLD.历史ID AND NEW.重打次数 = OLD.重打次数))"_s;
}

// The journal's own triggers in a file, as the program creates them: no change but a print's
// outcome, no deletion, and no insertion over an existing entry (INSERT OR REPLACE would
// delete it without a trigger).
const std::vector<NamedTrigger>& fileJournalTriggers() {
    static const std::vector<NamedTrigger> triggers = {
        {u"打印日志_不可修改"_s, fileUpdateTrigger(true)},
        {u"打印日志_不可删除"_s,
         u"CREATE TRIGGER 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s},
        {u"打印日志_不可覆盖"_s,
         u"CREATE TRIGGER 打印日志_不可覆盖 BEFORE INSERT ON 打印日志 WHEN NEW.ID IS NOT NULL "
         u"AND EXISTS (SELECT 1 FROM 打印日志 WHERE ID = NEW.ID) "
         u"BEGIN SELECT RAISE(ABORT, '打印日志不可覆盖'); END"_s},
    };
    return triggers;
}

// The register's own triggers in a file: a number is never written over another (INSERT OR
// REPLACE would delete it without a trigger) nor outside its book, its changes are those
// numberChangeAllowed() lets through, and no book is deleted, overlaps another of its account
// and kind, or changes but for being closed (never reopened).
const std::vector<NamedTrigger>& fileRegisterTriggers() {
    static const std::vector<NamedTrigger> triggers = {
        {u"支票号码_不可修改"_s,
         u"CREATE TRIGGER 支票号码_不可修改 BEFORE UPDATE ON 支票号码 WHEN NOT ("_s +
             numberChangeAllowed() + u") BEGIN SELECT RAISE(ABORT, '支票号码不可修改'); END"_s},
        {u"支票号码_不可删除"_s,
         u"CREATE TRIGGER 支票号码_不可删除 BEFORE DELETE ON 支票号码 "
         u"BEGIN SELECT RAISE(ABORT, '支票号码不可删除'); END"_s},
        {u"支票号码_不可覆盖"_s,
         u"CREATE TRIGGER 支票号码_不可覆盖 BEFORE INSERT ON 支票号码 WHEN "
         u"EXISTS (SELECT 1 FROM 支票号码 WHERE ID = NEW.ID OR "
         u"(支票簿ID = NEW.支票簿ID AND 号码 = NEW.号码)) "
         u"BEGIN SELECT RAISE(ABORT, '支票号码不可覆盖'); END"_s},
        {u"支票号码_须在支票簿内"_s,
         u"CREATE TRIGGER 支票号码_须在支票簿内 BEFORE INSERT ON 支票号码 WHEN NOT EXISTS "
         u"(SELECT 1 FROM 支票簿 WHERE ID = NEW.支票簿ID AND NEW.号码 BETWEEN 起始号码 AND "
         u"终止号码) "
         u"BEGIN SELECT RAISE(ABORT, '号码不在支票簿内'); END"_s},
        {u"支票簿_不可删除"_s,
         u"CREATE TRIGGER 支票簿_不可删除 BEFORE DELETE ON 支票簿 "
         u"BEGIN SELECT RAISE(ABORT, '支票簿不可删除'); END"_s},
        {u"支票簿_不可重叠"_s,
         u"CREATE TRIGGER 支票簿_不可重叠 BEFORE INSERT ON 支票簿 WHEN "
         u"EXISTS (SELECT 1 FROM 支票簿 WHERE ID = NEW.ID OR (账号 = NEW.账号 AND 种类 = NEW.种类 "
         u"AND 起始号码 <= NEW.终止号码 AND 终止号码 >= NEW.起始号码)) "
         u"BEGIN SELECT RAISE(ABORT, '支票簿号码重叠'); END"_s},
        {u"支票簿_不可修改"_s,
         u"CREATE TRIGGER 支票簿_不可修改 BEFORE UPDATE ON 支票簿 WHEN NOT (NEW.ID = OLD.ID "
         u"AND NEW.账号 = OLD.账号 AND NEW.前缀 = OLD.前缀 AND NEW.起始号码 = OLD.起始号码 "
         u"AND NEW.终止号码 = OLD.终止号码 AND NEW.领用日期 = OLD.领用日期 "
         u"AND NEW.种类 = OLD.种类 AND NEW.已结束 IN (OLD.已结束, 1)) "
         u"BEGIN SELECT RAISE(ABORT, '支票簿不可修改'); END"_s},
    };
    return triggers;
}

namespace {

// A statement's text for comparing: IF NOT EXISTS dropped, blanks collapsed.
QString comparable(QString sql) {
    static const QRegularExpression blanks(u"\\s+"_s);
    sql.replace(u"IF NOT EXISTS "_s, QString());
    return sql.replace(blanks, u" "_s).trimmed();
}

}  // namespace

void Database::restoreJournalTriggers() {
    // Only on the user's own file: restoring needs no one else's permission, and says so.
    if (QFileInfo(m_path).ownerId() != uint(geteuid()))
        return;
    const auto restore = [this](const std::vector<NamedTrigger>& triggers) {
        QStringList restored;
        for (const NamedTrigger& trigger : triggers) {
            QSqlQuery query(m_db);
            query.prepare(u"SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name=?"_s);
            query.addBindValue(trigger.name);
            if (query.exec() && query.next() && query.value(0).toInt() == 0 &&
                QSqlQuery(m_db).exec(trigger.sql))
                restored << trigger.name;
        }
        if (!restored.isEmpty())
            qWarning("chequeprint: protective triggers were missing and are restored: %s",
                     qUtf8Printable(restored.join(u", "_s)));
        return restored;
    };
    if (const QStringList restored = restore(fileJournalTriggers()); !restored.isEmpty())
        m_prompts.message(u"打印日志的保护触发器已被删除，现已恢复："_s + restored.join(u"、"_s),
                          {}, PromptButtons::Ok);
    if (const QStringList restored = restore(fileRegisterTriggers()); !restored.isEmpty())
        m_prompts.message(u"支票簿的保护触发器已被删除，现已恢复："_s + restored.join(u"、"_s), {},
                          PromptButtons::Ok);
}

namespace {

const QString kUnreadable = QStringLiteral("无法读取数据库的结构");

// What is wrong with the structure of `tables`, in short Chinese: one of them is no table (a
// view stands in, or it is gone), a column is missing, a view names them, or the triggers on
// them, or naming them, are not exactly `own`. Empty when all is as the program made it.
QString tamperingOf(const Database::Names& names, const QStringList& tables,
                    const QHash<QString, QStringList>& columns,
                    const std::vector<NamedTrigger>& own) {
    for (const QString& table : tables) {
        const auto type = names(u"SELECT type FROM sqlite_master WHERE name=?"_s, {table});
        if (!type)
            return kUnreadable;
        if (*type != QStringList{u"table"_s})
            return table + u"不是数据表"_s;
    }
    for (auto it = columns.begin(); it != columns.end(); ++it) {
        const auto found = names(u"SELECT name FROM pragma_table_info(?)"_s, {it.key()});
        if (!found)
            return kUnreadable;
        for (const QString& column : it.value())
            if (!found->contains(column))
                return it.key() + u"缺少列"_s + column;
    }
    QStringList naming;
    QVariantList values;
    for (const QString& table : tables) {
        naming << u"tbl_name = ? OR sql LIKE ?"_s;
        values << table << u"%"_s + table + u"%"_s;
    }
    const QString touching = u"("_s + naming.join(u" OR "_s) + u")"_s;
    const auto views =
        names(u"SELECT name FROM sqlite_master WHERE type='view' AND "_s + touching, values);
    const auto triggers = names(
        u"SELECT name || char(10) || sql FROM sqlite_master WHERE type='trigger' AND "_s + touching,
        values);
    if (!views || !triggers)
        return kUnreadable;
    if (!views->isEmpty())
        return u"有视图引用：%1"_s.arg(views->join(u"、"_s));
    int ours = 0;
    for (const QString& trigger : *triggers) {
        const QString name = trigger.section(u'\n', 0, 0);
        const auto it = std::find_if(own.begin(), own.end(),
                                     [&](const NamedTrigger& t) { return t.name == name; });
        if (it == own.end())
            return u"有其他触发器：%1"_s.arg(name);
        if (comparable(trigger.section(u'\n', 1)) != comparable(it->sql))
            return u"触发器%1已被改动"_s.arg(name);
        ++ours;
    }
    if (ours != int(own.size()))
        return u"缺少保护触发器"_s;
    return {};
}

}  // namespace

Database::Names Database::namesReader() {
    return [this](const QString& sql, const QVariantList& values) -> std::optional<QStringList> {
        QStringList found;
        std::optional<QSqlQuery> query = run(sql, values, true);
        if (!query)
            return std::nullopt;
        while (query->next())
            found << query->value(0).toString();
        return found;
    };
}

QString Database::journalTampering() {
    if (m_server)
        return {};
    return tamperingOf(namesReader(), {u"打印日志"_s, u"历史记录"_s},
                       {{u"打印日志"_s,
                         {u"ID"_s, u"时间"_s, u"用户"_s, u"种类"_s, u"打印机"_s, u"格式"_s,
                          u"结果"_s, u"历史ID"_s, u"内容"_s}}},
                       fileJournalTriggers());
}

QString Database::registerTampering() {
    if (m_server)
        return {};
    const Names names = namesReader();
    const QString structure =
        tamperingOf(names, {u"支票簿"_s, u"支票号码"_s},
                    {{u"支票簿"_s,
                      {u"ID"_s, u"账号"_s, u"前缀"_s, u"起始号码"_s, u"终止号码"_s, u"领用日期"_s,
                       u"已结束"_s, u"种类"_s}},
                     {u"支票号码"_s,
                      {u"ID"_s, u"支票簿ID"_s, u"号码"_s, u"状态"_s, u"时间"_s, u"用户"_s,
                       u"出票日期"_s, u"收款人"_s, u"金额"_s, u"历史ID"_s, u"重打次数"_s,
                       u"作废原因"_s, u"作废时间"_s, u"替代ID"_s, u"打印取号"_s, u"作废人"_s}}},
                    fileRegisterTriggers());
    if (!structure.isEmpty())
        return structure;
    // A file's row IDs run from 1 without a gap (a rolled-back insertion takes its ID back):
    // a row missing below the highest one was deleted, whatever became of the triggers since.
    for (const QString& table : {u"支票簿"_s, u"支票号码"_s}) {
        const auto counts = names(
            u"SELECT (SELECT count(*) FROM %1) || ',' || (SELECT coalesce(max(ID), 0) FROM %1) "
            u"|| ',' || coalesce((SELECT seq FROM sqlite_sequence WHERE name = '%1'), 0)"_s.arg(
                table),
            {});
        if (!counts)
            return kUnreadable;
        const QStringList parts = counts->value(0).split(u',');
        if (parts.size() != 3 || parts[0] != parts[1] || parts[1] != parts[2])
            return u"%1有记录被删除"_s.arg(table);
    }
    const auto orphans =
        names(u"SELECT count(*) FROM 支票号码 WHERE 支票簿ID NOT IN (SELECT ID FROM 支票簿)"_s, {});
    if (!orphans)
        return kUnreadable;
    if (*orphans != QStringList{u"0"_s})
        return u"有号码不属于任何支票簿"_s;
    // A printed number's history row, while it is kept, names that number, payee and amount.
    const auto disagreeing = names(
        u"SELECT b.前缀 || printf('%08d', n.号码) FROM 支票号码 n "
        u"JOIN 支票簿 b ON b.ID = n.支票簿ID JOIN 历史记录 h ON h.ID = n.历史ID "
        u"WHERE n.状态 = '已打印' AND (h.支票号码 IS NOT b.前缀 || printf('%08d', n.号码) "
        u"OR h.收款人全称 IS NOT n.收款人 OR h.金额 IS NOT n.金额) LIMIT 1"_s,
        {});
    if (!disagreeing)
        return kUnreadable;
    if (!disagreeing->isEmpty())
        return u"号码%1与其历史记录不符"_s.arg(disagreeing->first());
    return {};
}
