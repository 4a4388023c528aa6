#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLocale>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "Clock.h"
#include "CommandLine.h"
#include "Database.h"
#include "MainWindow.h"
#include "PrinterAccess.h"
#include "QtPrompts.h"
#include "RegText.h"
#include "TextMeasure.h"

namespace {

void nameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("chequeprint"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CHEQUEPRINT_VERSION));
}

// Runs a verb, the help, the version or the usage. None of them needs a display (fonts and
// printing work offscreen) nor a widget, so they run where there is no display at all.
int runWithoutDisplay(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    nameTheApplication();
    installChineseFontSubstitutes();
    return runCommandLine(QGuiApplication::arguments().mid(1), stdin, stdout, stderr);
}

bool hasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// The main window on the database of --database, or on the user's own.
int runWindow(int argc, char* argv[], const QString& database) {
    QApplication app(argc, argv);
    nameTheApplication();
    installChineseFontSubstitutes();
    installChineseTranslations();
    // Calendars, month and day names read in Chinese whatever the system's language.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QtPrompts prompts;
    Database db(prompts);
    if (!db.open(databaseLocation(database)))
        return 1;
    Clock clock;
    const std::unique_ptr<QSettings> settings = openUserSettings();
    SystemPrinters printers(settings.get());
    prompts.rememberFoldersIn(settings.get());
    MainWindow window({db, prompts, clock, printers, *settings});
    window.show();
    return app.exec();
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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QString database;
    if (!wantsWindow(arguments, &database))
        return runWithoutDisplay(argc, argv);
    if (!hasDisplay()) {
        const QByteArray usage = usageText();
        std::fputs(
            "chequeprint: no display for the window (DISPLAY, WAYLAND_DISPLAY and "
            "QT_QPA_PLATFORM are unset); the verbs below run without one\n\n",
            stderr);
        std::fwrite(usage.constData(), 1, size_t(usage.size()), stderr);
        return 2;
    }
    return runWindow(argc, argv, database);
}
