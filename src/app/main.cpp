#include <cstdio>

#include <QCoreApplication>

#include "CommandLine.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chequeprint"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CHEQUEPRINT_VERSION));
    return runCommandLine(QCoreApplication::arguments().mid(1), stdin, stdout, stderr);
}
