#pragma once

#include <QString>

// The files of the open database (the file and SQLite's -wal, -shm and -journal beside it),
// which no code but SQLite may open: closing any descriptor the program holds on them drops
// every lock SQLite holds, and writing over them would lose the data.
void guardDatabaseFiles(const QString& databasePath);

// Whether `path` names one of them (however it is written: relative, through a link).
bool isDatabaseFile(const QString& path);
