#pragma once

#include <cstdio>
#include <map>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "DocumentKind.h"

// What the command-line verbs share.

struct Io {
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
};

struct Arguments {
    QStringList inputs;
    std::map<QString, QStringList> options;  // "--database" -> {FILE}; a flag has one empty value

    bool has(const QString& name) const { return options.count(name) > 0; }
    QString option(const QString& name) const {
        const auto found = options.find(name);
        return found != options.end() ? found->second.last() : QString();
    }
    QStringList all(const QString& name) const {
        const auto found = options.find(name);
        return found != options.end() ? found->second : QStringList();
    }
};

// Writes and flushes; false when the bytes did not all reach the file.
bool write(std::FILE* file, const QByteArray& bytes);
// Writes to standard output: 0, or 1 after naming the reason on standard error.
int writeOut(const Io& io, const QByteArray& bytes);

// The kind of document of --kind (the transfer cheque without it); runCommandLine has refused a
// kind the program does not know before any verb runs.
const DocumentKind& documentKind(const Arguments& args);

// Writes the problem and the usage to standard error; returns 2.
int usageError(const Io& io, const QString& problem);

// The text with its tabs and line breaks shown as blanks, for one cell of a tab-separated line.
QString oneLine(QString text);

// The verbs: 0 done, 1 failed (the reason on standard error), 2 a wrong argument.
int amountVerb(const Arguments& args, const Io& io);
int dateVerb(const Arguments& args, const Io& io);
int formatsVerb(const Arguments& args, const Io& io);
int initDatabaseVerb(const Arguments& args, const Io& io);
int historyVerb(const Arguments& args, const Io& io);
int journalVerb(const Arguments& args, const Io& io);
int exportVerb(const Arguments& args, const Io& io);
int printVerb(const Arguments& args, const Io& io);
int previewVerb(const Arguments& args, const Io& io);
int calibrateVerb(const Arguments& args, const Io& io);
int formatVerb(const Arguments& args, const Io& io);
// calibrate --measured, --show and --reset: a printer's fit, without the database.
int printerFitVerb(const Arguments& args, const Io& io);
// Whether the sheet of calibrate --sheet lies lengthwise: as the kind's cheque does with --flags
// or the stored switches.
bool fitSheetLandscape(const Arguments& args);
// The sheet's marks, "A\tX\tY" a line, in mm from the paper's left and top edges.
QByteArray fitSheetLines(bool landscape);
int endorseVerb(const Arguments& args, const Io& io);
int batchVerb(const Arguments& args, const Io& io);
int bookVerb(const Arguments& args, const Io& io);
int voidVerb(const Arguments& args, const Io& io);
int settleVerb(const Arguments& args, const Io& io);
int registerVerb(const Arguments& args, const Io& io);
int payeeVerb(const Arguments& args, const Io& io);
