#include "SchemaUpgrades.h"

#include "GridSortKey.h"
#include "ProtectiveTriggers.h"
#include "RegisterRules.h"

using namespace Qt::StringLiterals;

namespace {

// The time of day of the earliest journal entry that kept each history row.
const QString kTimesFromJournal =
    u"UPDATE 历史记录 SET 时刻 = (SELECT substr(min(时间), 12, 8) FROM 打印日志 "
    u"WHERE 打印日志.历史ID = 历史记录.ID) WHERE 时刻 IS NULL"_s;

// The columns of the kinds, added as `add` says (a server's step may run on tables that have
// them already).
QStringList kindColumns(QStringView add) {
    const QString kind = u"种类 TEXT NOT NULL DEFAULT '转账支票'"_s;
    QStringList statements;
    for (const QString& table : {u"历史记录"_s, u"支票格式"_s, u"支票簿"_s})
        statements << u"ALTER TABLE %1 %2 %3"_s.arg(table, add, kind);
    for (const QString& column :
         {u"出票人全称"_s, u"收款人账号"_s, u"收款人开户银行"_s, u"票据种类"_s, u"票据张数"_s,
          u"身份证件名称"_s, u"发证机关"_s, u"身份证件号码"_s})
        statements << u"ALTER TABLE 历史记录 %1 %2 TEXT DEFAULT ''"_s.arg(add, column);
    statements << u"ALTER TABLE 历史记录 %1 来源ID INTEGER"_s.arg(add)
               << u"ALTER TABLE 用户状态 %1 当前种类 TEXT NOT NULL DEFAULT '转账支票'"_s.arg(add);
    return statements;
}

}  // namespace

const std::vector<UpgradeStep>& schemaUpgrades() {
    static const std::vector<UpgradeStep> steps = {
        // 2: the print journal, which nothing may change or delete.
        {{u"CREATE TABLE IF NOT EXISTS 打印日志 ("
          u"ID INTEGER PRIMARY KEY AUTOINCREMENT, 时间 TEXT NOT NULL, 种类 TEXT NOT NULL, "
          u"打印机 TEXT NOT NULL DEFAULT '', 格式 TEXT NOT NULL DEFAULT '', 结果 TEXT NOT NULL, "
          u"历史ID INTEGER, 内容 TEXT NOT NULL DEFAULT '')"_s,
          u"CREATE INDEX IF NOT EXISTS 打印日志_时间 ON 打印日志 (时间)"_s},
         {u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可修改 BEFORE UPDATE ON 打印日志 "
          u"BEGIN SELECT RAISE(ABORT, '打印日志不可修改'); END"_s,
          u"CREATE TRIGGER IF NOT EXISTS 打印日志_不可删除 BEFORE DELETE ON 打印日志 "
          u"BEGIN SELECT RAISE(ABORT, '打印日志不可删除'); END"_s},
         {u"CREATE OR REPLACE FUNCTION 打印日志_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
          u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '打印日志不可删除'; END IF; "
          u"RAISE EXCEPTION '打印日志不可修改'; END $$"_s,
          u"CREATE OR REPLACE TRIGGER 打印日志_不可修改 BEFORE UPDATE OR DELETE ON 打印日志 "
          u"FOR EACH ROW EXECUTE FUNCTION 打印日志_只增()"_s}},
        // 3: each user's own last input and current format, apart from other users'.
        {{u"CREATE TABLE IF NOT EXISTS 用户状态 (用户 TEXT NOT NULL PRIMARY KEY, "
          u"当前格式 TEXT NOT NULL DEFAULT '', 上次输入 TEXT NOT NULL DEFAULT '')"_s},
         {},
         {},
         true},
        // 4: a print is journalled as 打印中 before it is sent, and that one mark may change,
        // once, to its outcome (with the history row when the cheque was kept). Nothing else
        // of the journal may change.
        {{},
         {u"DROP TRIGGER IF EXISTS 打印日志_不可修改"_s, fileUpdateTrigger(false)},
         {serverUpdateFunction(false)}},
        // 5: in a file, no entry is written over another (a server's IDs are its own).
        {{}, {fileJournalTriggers()[2].sql}, {}},
        // 6: the journal names the login that printed, which no change may alter.
        {{u"ALTER TABLE 打印日志 ADD COLUMN 用户 TEXT NOT NULL DEFAULT ''"_s},
         {u"DROP TRIGGER IF EXISTS 打印日志_不可修改"_s, fileJournalTriggers()[0].sql},
         {serverUpdateFunction(true)}},
        // 7: the history grid sorts and pages in the database: indexes for the columns a
        // cashier sorts and picks from (a server's payee in the bytes' order, as a file's is);
        // a server also keeps the grid's sort key as a function, for reading the rows in the
        // grid's order (a file's connections make it themselves).
        {{u"CREATE INDEX IF NOT EXISTS 历史记录_出票日期 ON 历史记录 (出票日期)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_收款人全称 ON 历史记录 (收款人全称)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_金额 ON 历史记录 (金额)"_s},
         {},
         {serverGridSortKeyFunction(),
          u"CREATE INDEX IF NOT EXISTS 历史记录_收款人排序 ON 历史记录 (收款人全称 COLLATE \"C\", ID)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_打印时间 ON 历史记录 (Dat NULLS FIRST, ID)"_s,
          u"CREATE INDEX IF NOT EXISTS 历史记录_出票日期排序 ON 历史记录 (出票日期 NULLS FIRST, ID)"_s}},
        // 8: the cheque books of the accounts and the fate of every number taken from them. A
        // number is never deleted; it goes from 打印中 to 已打印 or 已作废, and a printed one
        // may still be voided; what it was taken for never changes. A kept cheque's history row
        // names the number it was printed on (empty for a cheque without one); a server whose
        // recorded version lags behind its tables gets the column only when it lacks it
        // (SQLite knows no ADD COLUMN IF NOT EXISTS).
        {{u"CREATE TABLE IF NOT EXISTS 支票簿 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          u"账号 TEXT NOT NULL, 前缀 TEXT NOT NULL DEFAULT '', 起始号码 INTEGER NOT NULL, "
          u"终止号码 INTEGER NOT NULL, 领用日期 TEXT NOT NULL DEFAULT '', "
          u"已结束 INTEGER NOT NULL DEFAULT 0)"_s,
          u"CREATE INDEX IF NOT EXISTS 支票簿_账号 ON 支票簿 (账号, 起始号码)"_s,
          u"CREATE TABLE IF NOT EXISTS 支票号码 (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
          u"支票簿ID INTEGER NOT NULL REFERENCES 支票簿 (ID), 号码 INTEGER NOT NULL, "
          u"状态 TEXT NOT NULL, 时间 TEXT NOT NULL, 用户 TEXT NOT NULL DEFAULT '', "
          u"出票日期 TEXT NOT NULL DEFAULT '', 收款人 TEXT NOT NULL DEFAULT '', "
          u"金额 TEXT NOT NULL DEFAULT '', 历史ID INTEGER, 重打次数 INTEGER NOT NULL DEFAULT 0, "
          u"作废原因 TEXT NOT NULL DEFAULT '', 作废时间 TEXT NOT NULL DEFAULT '', "
          u"替代ID INTEGER, 打印取号 INTEGER NOT NULL DEFAULT 1, UNIQUE (支票簿ID, 号码))"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN 支票号码 TEXT DEFAULT ''"_s,
          u"CREATE TRIGGER IF NOT EXISTS 支票号码_不可删除 BEFORE DELETE ON 支票号码 "
          u"BEGIN SELECT RAISE(ABORT, '支票号码不可删除'); END"_s,
          u"CREATE TRIGGER IF NOT EXISTS 支票号码_不可修改 BEFORE UPDATE ON 支票号码 WHEN NOT ("_s +
              numberChangeAllowed() + u") BEGIN SELECT RAISE(ABORT, '支票号码不可修改'); END"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN IF NOT EXISTS 支票号码 TEXT DEFAULT ''"_s,
          u"CREATE OR REPLACE FUNCTION 支票号码_只增() RETURNS trigger LANGUAGE plpgsql AS $$ "
          u"BEGIN IF TG_OP = 'DELETE' THEN RAISE EXCEPTION '支票号码不可删除'; END IF; "
          u"IF "_s +
              numberChangeAllowed() +
              u" THEN RETURN NEW; END IF; RAISE EXCEPTION '支票号码不可修改'; END $$"_s,
          u"CREATE OR REPLACE TRIGGER 支票号码_不可修改 BEFORE UPDATE OR DELETE ON 支票号码 "
          u"FOR EACH ROW EXECUTE FUNCTION 支票号码_只增()"_s}},
        // 9: a voided number names who voided it. A file's register gets the rest of its own
        // triggers; a server writes that login and the time of the void itself, and keeps the
        // books and the numbers to what the program would write.
        {{},
         {u"ALTER TABLE 支票号码 ADD COLUMN 作废人 TEXT NOT NULL DEFAULT ''"_s,
          fileRegisterTriggers()[2].sql, fileRegisterTriggers()[3].sql,
          fileRegisterTriggers()[4].sql, fileRegisterTriggers()[5].sql,
          fileRegisterTriggers()[6].sql},
         QStringList{
             u"ALTER TABLE 支票号码 ADD COLUMN IF NOT EXISTS 作废人 TEXT NOT NULL DEFAULT ''"_s} +
             serverRegisterRules()},
        // 10: a history row keeps the time of day it was printed (hh:mm:ss, empty for rows
        // kept without one); the rows kept before take theirs from the journal entry that kept
        // them, found through an index of the entries' history rows.
        {{u"CREATE INDEX IF NOT EXISTS 打印日志_历史ID ON 打印日志 (历史ID)"_s},
         {u"ALTER TABLE 历史记录 ADD COLUMN 时刻 TEXT"_s, kTimesFromJournal},
         {u"ALTER TABLE 历史记录 ADD COLUMN IF NOT EXISTS 时刻 TEXT"_s, kTimesFromJournal}},
        // 11: more than one kind of document. A history row, a format and a cheque book belong
        // to a kind (all kept before are transfer cheques); the history gains the columns the
        // other kinds fill, named by meaning and shared by the kinds; each user keeps a
        // current format and a last input per kind, and a current kind.
        {{u"CREATE TABLE IF NOT EXISTS 用户种类状态 (用户 TEXT NOT NULL, 种类 TEXT NOT NULL, "
          u"当前格式 TEXT NOT NULL DEFAULT '', 上次输入 TEXT NOT NULL DEFAULT '', "
          u"PRIMARY KEY (用户, 种类))"_s,
          u"INSERT INTO 用户种类状态 (用户, 种类, 当前格式, 上次输入) "
          u"SELECT 用户, '转账支票', 当前格式, 上次输入 FROM 用户状态 WHERE NOT EXISTS "
          u"(SELECT 1 FROM 用户种类状态 k WHERE k.用户 = 用户状态.用户 AND k.种类 = '转账支票')"_s},
         // A book's serials are apart from those of the account's other books of its kind
         // only, and its kind never changes: the register's rules are made again to say so.
         kindColumns(u"ADD COLUMN") + QStringList{u"DROP TRIGGER IF EXISTS 支票簿_不可重叠"_s,
                                                  fileRegisterTriggers()[5].sql,
                                                  u"DROP TRIGGER IF EXISTS 支票簿_不可修改"_s,
                                                  fileRegisterTriggers()[6].sql},
         kindColumns(u"ADD COLUMN IF NOT EXISTS") + serverRegisterRules()},
    };
    return steps;
}
