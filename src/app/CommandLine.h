#pragma once

#include <cstdio>

#include <QStringList>

// Runs a command-line verb (arguments without the program name) and returns the exit code:
// 0 done, 1 failed, 2 unknown verb or option.
// Whether the arguments ask for the window: no verb, no help or version, at most
// --database FILE (its file goes to *database; empty for the user's own).
bool wantsWindow(const QStringList& arguments, QString* database);

// The usage text.
QByteArray usageText();

int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err);
