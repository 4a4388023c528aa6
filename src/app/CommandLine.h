#pragma once

#include <cstdio>

#include <QStringList>

// Runs a command-line verb (arguments without the program name) and returns the exit code:
// 0 done, 1 failed, 2 unknown verb or option.
int runCommandLine(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err);
