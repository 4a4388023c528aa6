#include "RegisterRules.h"

using namespace Qt::StringLiterals;

namespace {

// A book as it is added: eight-digit serials, first <= last, at most 1000 of them, none shared
// with another book of the account and kind, open or closed. The check takes the account's lock, as
// the program does, so that two books added at once are checked one after the other, each seeing
// the other's serials; a transaction reading from an older snapshot would not see them, so none
// adds a book. Once added, a book only closes.
QString bookRule() {
    return u"CREATE OR REPLACE FUNCTION 支票簿_规则() RETURNS trigger LANGUAGE plpgsql AS $$ "
           u"BEGIN "
           u"IF TG_OP = 'UPDATE' THEN "
           u"IF OLD.已结束 <> 0 AND NEW.已结束 = 0 THEN "
           u"RAISE EXCEPTION '已结束的支票簿不能重新启用'; END IF; "
           u"IF (NEW.id, NEW.账号, NEW.前缀, NEW.起始号码, NEW.终止号码, NEW.领用日期, NEW.种类) "
           u"IS DISTINCT FROM "
           u"(OLD.id, OLD.账号, OLD.前缀, OLD.起始号码, OLD.终止号码, OLD.领用日期, OLD.种类) "
           u"OR NEW.已结束 NOT IN (OLD.已结束, 1) THEN "
           u"RAISE EXCEPTION '支票簿不可修改'; END IF; "
           u"RETURN NEW; END IF; "
           u"IF NEW.起始号码 < 0 OR NEW.终止号码 > 99999999 OR NEW.起始号码 > NEW.终止号码 THEN "
           u"RAISE EXCEPTION '支票号码应为8位数字，且起始号码不大于终止号码'; END IF; "
           u"IF NEW.终止号码 - NEW.起始号码 >= 1000 THEN "
           u"RAISE EXCEPTION '一本支票簿最多1000张支票'; END IF; "
           u"IF current_setting('transaction_isolation') = 'repeatable read' THEN "
           u"RAISE EXCEPTION '支票簿不能在可重复读的事务中登记'; END IF; "
           u"PERFORM pg_advisory_xact_lock(%1, hashtext(NEW.账号)); "
           u"IF EXISTS (SELECT FROM 支票簿 WHERE 账号 = NEW.账号 AND 种类 = NEW.种类 "
           u"AND 起始号码 <= NEW.终止号码 AND 终止号码 >= NEW.起始号码) THEN "
           u"RAISE EXCEPTION '该账号已有号码重叠的支票簿'; END IF; "
           u"RETURN NEW; END $$"_s.arg(kAccountBookLocks);
}

// A number as it is added and changed, beyond the changes of state the numbers' own trigger
// allows. A reason of nothing but blanks is none.
QString numberRule() {
    const QString noReason =
        u"translate(NEW.作废原因, ' 　' || chr(9) || chr(10) || chr(13), '') = ''"_s;
    return (u"CREATE OR REPLACE FUNCTION 支票号码_规则() RETURNS trigger LANGUAGE plpgsql AS $$ "
            u"DECLARE book record; by_owner boolean := pg_has_role(session_user, "
            u"(SELECT relowner FROM pg_class WHERE oid = TG_RELID), 'USAGE'); "
            u"BEGIN "
            u"IF TG_OP = 'INSERT' THEN "
            u"SELECT 起始号码, 终止号码 INTO book FROM 支票簿 WHERE id = NEW.支票簿id; "
            u"IF NOT FOUND OR NEW.号码 < book.起始号码 OR NEW.号码 > book.终止号码 THEN "
            u"RAISE EXCEPTION '号码不在支票簿的范围内'; END IF; "
            // Taken for a print, or voided by hand before its turn: carrying no cheque either way.
            u"IF NEW.出票日期 <> '' OR NEW.收款人 <> '' OR NEW.金额 <> '' "
            u"OR NEW.历史id IS NOT NULL OR NEW.重打次数 <> 0 OR NOT ("
            u"(NEW.状态 = '打印中' AND NEW.打印取号 = 1 AND NEW.作废原因 = '' "
            u"AND NEW.作废时间 = '' AND NEW.作废人 = '') OR "
            u"(NEW.状态 = '已作废' AND NEW.打印取号 = 0 AND NEW.替代id IS NULL)) THEN "
            u"RAISE EXCEPTION '新号码只能是打印中，或未用先作废'; END IF; "
            u"ELSE "
            // An administrator settles a number that a clerk's dead program left printing.
            u"IF OLD.状态 = '打印中' AND OLD.用户 <> session_user AND NOT by_owner THEN "
            u"RAISE EXCEPTION '打印中的号码只能由取号的用户修改'; END IF; "
            // The session printing the cheque holds the number; that session may take it again.
            u"IF OLD.状态 = '打印中' AND NOT pg_try_advisory_xact_lock(%1, OLD.id::int4) THEN "
            u"IF NEW.状态 = '已作废' THEN RAISE EXCEPTION '号码正在打印，不能作废'; END IF; "
            u"RAISE EXCEPTION '号码正在打印，不能修改'; END IF; "
            u"IF NEW.状态 <> '已作废' OR OLD.状态 = '已作废' THEN "
            u"IF (NEW.作废原因, NEW.作废时间, NEW.作废人) "
            u"IS DISTINCT FROM (OLD.作废原因, OLD.作废时间, OLD.作废人) THEN "
            u"RAISE EXCEPTION '支票号码不可修改'; END IF; "
            u"RETURN NEW; END IF; "
            u"END IF; "
            // Who voided a number is the session's login; when is the server's clock, but for
            // the tables' owner, whose time stands as it does for a number it takes.
            u"IF NEW.状态 = '已作废' THEN "
            u"IF "_s +
            noReason +
            u" THEN RAISE EXCEPTION '请填写作废原因'; END IF; "
            u"IF NOT by_owner THEN NEW.作废时间 := to_char(now(), 'YYYY-MM-DD HH24:MI:SS'); "
            u"END IF; NEW.作废人 := session_user; END IF; "
            u"RETURN NEW; END $$"_s)
        .arg(kPrintingNumberLocks);
}

}  // namespace

QStringList serverRegisterRules() {
    return {
        bookRule(),
        u"CREATE OR REPLACE TRIGGER 支票簿_规则 BEFORE INSERT OR UPDATE ON 支票簿 "
        u"FOR EACH ROW EXECUTE FUNCTION 支票簿_规则()"_s,
        numberRule(),
        u"CREATE OR REPLACE TRIGGER 支票号码_规则 BEFORE INSERT OR UPDATE ON 支票号码 "
        u"FOR EACH ROW EXECUTE FUNCTION 支票号码_规则()"_s,
        // The rules read the tables of the program's schema, never a clerk's temporary table of
        // the same name, and write a void's time in the zone the administrator's session has
        // now, whatever zone the clerk's session has set.
        u"DO $$ BEGIN "
        u"EXECUTE format('ALTER FUNCTION 支票簿_规则() SET search_path = pg_catalog, %I, pg_temp', "
        u"current_schema()); "
        u"EXECUTE format('ALTER FUNCTION 支票号码_规则() SET search_path = pg_catalog, %I, "
        u"pg_temp', current_schema()); END $$"_s,
        u"ALTER FUNCTION 支票号码_规则() SET TimeZone FROM CURRENT"_s,
    };
}
