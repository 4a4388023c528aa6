#include <cstdio>

#include <QDir>
#include <QGuiApplication>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "CommandLine.h"
#include "TextMeasure.h"

namespace {

// Runs a verb, the help, the version or the usage. None of them needs a display (fonts and
// printing work offscreen) nor a widget, so they run where there is no display at all.
int runWithoutDisplay(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("chequeprint"));
    QGuiApplication::setApplicationVersion(QStringLiteral(CHEQUEPRINT_VERSION));
    installChineseFontSubstitutes();
    return runCommandLine(QGuiApplication::arguments().mid(1), stdin, stdout, stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
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
    // Every command line is run without a display for now; a window, which needs the real
    // platform, is opened by no path yet.
    return runWithoutDisplay(argc, argv);
}
