#include <cstdio>

#include <QApplication>
#include <QDir>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "CommandLine.h"
#include "TextMeasure.h"

int main(int argc, char* argv[]) {
    // The verbs and the usage never need a display: fonts and printing work offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_UNIX
    // Without a session (scripts, CI) give Qt a private runtime folder instead of a warning.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime =
            QDir::tempPath() + QStringLiteral("/chequeprint-runtime-%1").arg(getuid());
        if (QDir().mkpath(runtime))
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chequeprint"));
    QApplication::setApplicationVersion(QStringLiteral(CHEQUEPRINT_VERSION));
    installChineseFontSubstitutes();
    return runCommandLine(QApplication::arguments().mid(1), stdin, stdout, stderr);
}
