#pragma once

#include <cstdio>

#include <QStringList>

// Runs a command-line verb (arguments without the program name) and returns the exit code:
// 0 done, 1 failed, 2 unknown verb or option.
// Whether the arguments ask for the window: no verb, no help or version, at most
// --database FILE (its file goes to *database; empty for the user's own).
bool wantsWindow(const QStringList& arguments, QString* database);

// The database to use: the --database option's, else the one the user's settings name
// (key database/url, beside the switches), else the user's own DATA.db.
QString databaseLocation(const QString& option);

// The usage text, written from the verb table.
QByteArray usageText();

int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err);
