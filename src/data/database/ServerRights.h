#pragma once

#include <QString>
#include <QStringList>

// What a shared database lets its clerks do, set up by the administrator's init-database and
// set again each time it runs. A clerk logs in as a member of kClerkRole: reads everything,
// adds history rows and journal entries (whose IDs, times and login the server sets), deletes
// history rows, gives a journal entry its outcome, adds and edits the counterparties (往来单位)
// and marks them removed, and reads and writes only their own row of 用户状态. Print formats are
// changed only by members of kFormatEditorRole. The tables' owner keeps every right.

inline const QString kClerkRole = QStringLiteral("chequeprint_clerk");
inline const QString kFormatEditorRole = QStringLiteral("chequeprint_format_editor");

// The query whether this login may go on to give the roles their rights: one row, true when it
// may create roles (or is a superuser) or both roles are there already.
QString clerkRolesReadyQuery();

// What an administrator without the right to create roles is told, and can do instead.
QString missingCreateRoleMessage();

// The statements that create the roles (when missing), give them exactly their rights, and put
// the server's own rules on the tables. `timeZone` is the zone the journal's times are written in.
QStringList serverRightsStatements(const QString& timeZone);

// The query for the logins, other than the tables' owner and the two roles, that hold rights
// on the tables of their own (as an older set-up granted them): quote_ident'ed names, one a row.
QString loginsWithOwnRightsQuery();

// The statements that take a login's own rights on the tables and make it a clerk instead.
QStringList moveLoginToClerkRole(const QString& quotedLogin);
