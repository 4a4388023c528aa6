#pragma once

#include <optional>

#include <QString>

// Where a shared PostgreSQL database is:
// postgresql://USER@HOST[:PORT]/DBNAME[?sslmode=…&connect_timeout=…], or, as libpq writes a
// local server reached through its socket, postgresql://USER@/DBNAME?host=/run/postgresql
// (the host, and the port, as options instead). The password never stands in the address:
// libpq reads it from ~/.pgpass or PGPASSWORD.
struct ServerAddress {
    QString host;  // a name, an address, or the folder of a local server's socket
    int port = 5432;
    QString user;  // empty: libpq's default, the system login
    QString database;
    QString connectOptions;  // "key=value;..." as the QPSQL driver takes them
};

// Whether a database location (--database, the settings' database/url) is meant as a server
// address rather than a SQLite file: it starts with a scheme, a word and a colon. One letter
// and a colon is a Windows drive, so C:\data\DATA.db stays a file; postgresql:/host/db or
// mysql://x/y are addresses that parseServerAddress refuses, never file names.
bool isServerAddress(const QString& text);

// The parts of a server address (its scheme in any case); nothing, with the reason, for an
// address that is malformed, is not PostgreSQL's, carries a password, names its host or port
// twice (before the database and as an option), or has an option the program does not pass on
// or whose value could be read as more than one. The user, host and database
// go to the driver as fields of their own, which it quotes. Unless the address says
// otherwise, a server that cannot be reached is given up after ten seconds, and one that
// stops answering on an open connection after about 35 seconds.
std::optional<ServerAddress> parseServerAddress(const QString& text, QString* reason);

// The database location as a message may show it: a file's name as it is, a server address
// without a password, which it should not hold but may (in the user part or as an option):
// the password's characters are replaced by "***".
QString shownDatabaseLocation(const QString& location);
