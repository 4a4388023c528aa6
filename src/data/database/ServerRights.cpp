#include "ServerRights.h"

using namespace Qt::StringLiterals;

namespace {

const QString kTables =
    u"数据库版本, 支票格式, 历史记录, 打印日志, 用户状态, 用户种类状态, 支票簿, 支票号码, "
    u"往来单位, 格式底图"_s;

// Creates a role without a login when there is none; two administrators of two databases on
// one server may create it at the same moment.
QString createRole(const QString& role) {
    return u"DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN "
           u"BEGIN CREATE ROLE %1 NOLOGIN; "
           u"EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END; END IF; END $$"_s
               .arg(role);
}

// Fills in what a clerk may not choose: a new row's ID is the one the server's sequence gave
// (a row of a chosen ID would block everyone's next rows), a journal entry's time is the
// server's clock in `zone` and its login the session's (so is a taken cheque number's), a
// history row's day and time of day the server's. The tables' owner, who could drop this trigger
// anyway, writes what it gives; who owns them is read from pg_catalog by name, as a clerk's
// temporary table called pg_class would come first.
QString serverFillsIn(const QString& zone) {
    QString quotedZone = zone;
    quotedZone = u'\'' + quotedZone.replace(u'\'', u"''"_s) + u'\'';
    return u"CREATE OR REPLACE FUNCTION 由服务器填写() RETURNS trigger LANGUAGE plpgsql AS $$ "
           u"DECLARE given bigint; "
           u"BEGIN "
           u"IF pg_has_role(session_user, (SELECT relowner FROM pg_catalog.pg_class "
           u"WHERE oid = TG_RELID), 'USAGE') THEN RETURN NEW; END IF; "
           u"BEGIN given := currval(pg_get_serial_sequence("
           u"format('%I.%I', TG_TABLE_SCHEMA, TG_TABLE_NAME), 'id')); "
           u"EXCEPTION WHEN object_not_in_prerequisite_state THEN given := NULL; END; "
           u"IF NEW.id IS DISTINCT FROM given THEN RAISE EXCEPTION 'ID由数据库生成'; END IF; "
           u"IF TG_TABLE_NAME IN ('打印日志', '支票号码') THEN "
           u"NEW.时间 := to_char(now() AT TIME ZONE %1, 'YYYY-MM-DD HH24:MI:SS'); "
           u"NEW.用户 := session_user; "
           u"ELSIF TG_TABLE_NAME = '历史记录' THEN NEW.dat := (now() AT TIME ZONE %1)::date; "
           u"NEW.时刻 := to_char(now() AT TIME ZONE %1, 'HH24:MI:SS'); END IF; "
           u"RETURN NEW; END $$"_s.arg(quotedZone);
}

}  // namespace

QString clerkRolesReadyQuery() {
    return u"SELECT rolsuper OR rolcreaterole OR (SELECT count(*) FROM pg_roles WHERE rolname IN "
           u"('%1', '%2')) = 2 FROM pg_roles WHERE rolname = current_user"_s.arg(kClerkRole,
                                                                                 kFormatEditorRole);
}

QString missingCreateRoleMessage() {
    return u"需要能创建角色（CREATEROLE）的数据库用户运行 init-database。\n"
           u"也可以由管理员先建立角色 %1 和 %2（CREATE ROLE 角色名 NOLOGIN），再运行一次。"_s.arg(
               kClerkRole, kFormatEditorRole);
}

QStringList serverRightsStatements(const QString& timeZone) {
    const QString roles = kClerkRole + u", "_s + kFormatEditorRole;
    return {
        createRole(kClerkRole),
        createRole(kFormatEditorRole),
        // From nothing to exactly these rights, however they were changed since.
        u"REVOKE ALL ON %1 FROM PUBLIC, %2"_s.arg(kTables, roles),
        u"GRANT SELECT ON 数据库版本, 支票格式, 格式底图 TO %1"_s.arg(kClerkRole),
        u"GRANT SELECT, INSERT, DELETE ON 历史记录 TO %1"_s.arg(kClerkRole),
        u"GRANT SELECT, INSERT, UPDATE (结果, 历史ID) ON 打印日志 TO %1"_s.arg(kClerkRole),
        u"GRANT SELECT, INSERT, UPDATE, DELETE ON 用户状态, 用户种类状态 TO %1"_s.arg(kClerkRole),
        // A clerk enters and closes cheque books, takes numbers and settles their fate, which
        // the numbers' own trigger keeps to the changes it allows.
        u"GRANT SELECT, INSERT, UPDATE (已结束) ON 支票簿 TO %1"_s.arg(kClerkRole),
        u"GRANT SELECT, INSERT, UPDATE (状态, 出票日期, 收款人, 金额, 历史ID, 重打次数, 作废原因, "
        u"作废时间) ON 支票号码 TO %1"_s.arg(kClerkRole),
        // Every clerk keeps the one book of counterparties: adds, edits and marks an entry
        // removed, which keeps it (the tables' owner alone deletes).
        u"GRANT SELECT, INSERT, UPDATE (全称, 打印名称, 账号, 开户银行, 用途, 备注, "
        u"本单位, 已删除) ON 往来单位 TO %1"_s.arg(kClerkRole),
        u"GRANT SELECT, INSERT, UPDATE, DELETE ON 支票格式, 格式底图 TO %1"_s.arg(
            kFormatEditorRole),
        // The check of a new row's ID reads the sequence's last value in the session.
        u"DO $$ BEGIN EXECUTE format('GRANT USAGE ON SEQUENCE %s, %s, %s, %s, %s TO %1', "
        u"pg_get_serial_sequence('历史记录', 'id'), pg_get_serial_sequence('打印日志', 'id'), "
        u"pg_get_serial_sequence('支票簿', 'id'), pg_get_serial_sequence('支票号码', 'id'), "
        u"pg_get_serial_sequence('往来单位', 'id')); END $$"_s.arg(kClerkRole),
        serverFillsIn(timeZone),
        u"CREATE OR REPLACE TRIGGER 由服务器填写 BEFORE INSERT ON 打印日志 "
        u"FOR EACH ROW EXECUTE FUNCTION 由服务器填写()"_s,
        u"CREATE OR REPLACE TRIGGER 由服务器填写 BEFORE INSERT ON 历史记录 "
        u"FOR EACH ROW EXECUTE FUNCTION 由服务器填写()"_s,
        u"CREATE OR REPLACE TRIGGER 由服务器填写 BEFORE INSERT ON 支票簿 "
        u"FOR EACH ROW EXECUTE FUNCTION 由服务器填写()"_s,
        u"CREATE OR REPLACE TRIGGER 由服务器填写 BEFORE INSERT ON 支票号码 "
        u"FOR EACH ROW EXECUTE FUNCTION 由服务器填写()"_s,
        u"CREATE OR REPLACE TRIGGER 由服务器填写 BEFORE INSERT ON 往来单位 "
        u"FOR EACH ROW EXECUTE FUNCTION 由服务器填写()"_s,
        // Each clerk reads their own state and the one everyone starts from (user ''), and
        // writes only their own.
        u"ALTER TABLE 用户状态 ENABLE ROW LEVEL SECURITY"_s,
        u"DROP POLICY IF EXISTS 用户状态_读 ON 用户状态"_s,
        u"CREATE POLICY 用户状态_读 ON 用户状态 FOR SELECT USING (用户 IN (session_user::text, ''))"_s,
        u"DROP POLICY IF EXISTS 用户状态_写 ON 用户状态"_s,
        u"CREATE POLICY 用户状态_写 ON 用户状态 USING (用户 = session_user::text) "
        u"WITH CHECK (用户 = session_user::text)"_s,
        u"ALTER TABLE 用户种类状态 ENABLE ROW LEVEL SECURITY"_s,
        u"DROP POLICY IF EXISTS 用户种类状态_读 ON 用户种类状态"_s,
        u"CREATE POLICY 用户种类状态_读 ON 用户种类状态 FOR SELECT "
        u"USING (用户 IN (session_user::text, ''))"_s,
        u"DROP POLICY IF EXISTS 用户种类状态_写 ON 用户种类状态"_s,
        u"CREATE POLICY 用户种类状态_写 ON 用户种类状态 USING (用户 = session_user::text) "
        u"WITH CHECK (用户 = session_user::text)"_s,
    };
}

QString loginsWithOwnRightsQuery() {
    return u"SELECT DISTINCT quote_ident(r.rolname) FROM pg_class c "
           u"CROSS JOIN LATERAL aclexplode(c.relacl) a JOIN pg_roles r ON r.oid = a.grantee "
           u"WHERE c.relnamespace = current_schema()::regnamespace AND c.relname IN "
           u"('数据库版本', '支票格式', '历史记录', '打印日志', '用户状态', '用户种类状态', "
           u"'支票簿', '支票号码', '往来单位', '格式底图') "
           u"AND a.grantee <> c.relowner AND r.rolname NOT IN ('%1', '%2') ORDER BY 1"_s.arg(
               kClerkRole, kFormatEditorRole);
}

QStringList moveLoginToClerkRole(const QString& quotedLogin) {
    return {u"REVOKE ALL ON %1 FROM %2"_s.arg(kTables, quotedLogin),
            u"GRANT %1 TO %2"_s.arg(kClerkRole, quotedLogin)};
}
