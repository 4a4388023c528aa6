#pragma once

#include <csignal>

#include <QDirIterator>
#include <QProcess>
#include <QStringList>

#include <sys/resource.h>
#include <sys/stat.h>

// Runs the program (CHEQUEPRINT_EXE, set by the test's build) as a user would, for the tests
// that look at what it leaves behind.
struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

struct RunOptions {
    QByteArray input;
    QString folder;              // working folder and home, so stray files land there
    QString standardOutputFile;  // instead of capturing standard output
    long fileSizeLimit = -1;     // bytes a file may grow to, as on a full disk
    bool openUmask = false;      // umask 0: files are only private if the program says so
    bool noDisplay = false;      // as on a server: no display and no platform chosen
};

inline void prepareProcess(QProcess& process, const RunOptions& options) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!options.folder.isEmpty()) {
        process.setWorkingDirectory(options.folder);
        for (const QString& name : {QStringLiteral("HOME"), QStringLiteral("XDG_DATA_HOME"),
                                    QStringLiteral("XDG_CONFIG_HOME")})
            environment.insert(name, options.folder);
    }
    if (options.noDisplay)
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    if (!options.standardOutputFile.isEmpty())
        process.setStandardOutputFile(options.standardOutputFile);
    const long limit = options.fileSizeLimit;
    const bool openUmask = options.openUmask;
    process.setChildProcessModifier([limit, openUmask] {
        if (limit >= 0) {
            // A write past the limit then fails with EFBIG instead of killing the program.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit size{rlim_t(limit), rlim_t(limit)};
            setrlimit(RLIMIT_FSIZE, &size);
        }
        if (openUmask)
            umask(0);
    });
}

inline ProgramRun runProgram(const QStringList& arguments, const RunOptions& options = {}) {
    QProcess process;
    prepareProcess(process, options);
    process.start(QStringLiteral(CHEQUEPRINT_EXE), arguments);
    process.write(options.input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// The files anywhere under a folder.
inline QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}
