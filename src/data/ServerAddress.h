#pragma once

#include <optional>

#include <QString>

// Where a shared PostgreSQL database is:
// postgresql://USER@HOST[:PORT]/DBNAME[?sslmode=…&connect_timeout=…]. The password never
// stands in the address: libpq reads it from ~/.pgpass or PGPASSWORD.
struct ServerAddress {
    QString host;
    int port = 5432;
    QString user;  // empty: libpq's default, the system login
    QString database;
    QString connectOptions;  // "key=value;..." as the QPSQL driver takes them
};

// Whether a --database value names a server rather than a SQLite file.
bool isServerAddress(const QString& text);

// The parts of a server address; nothing, with the reason, for an address that is malformed,
// carries a password or an option the program does not pass on. Unless the address says
// otherwise, a server that cannot be reached is given up after ten seconds, and one that
// stops answering on an open connection after about 35 seconds.
std::optional<ServerAddress> parseServerAddress(const QString& text, QString* reason);
