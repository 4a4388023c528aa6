#include "DatabaseFiles.h"

#include <QFileInfo>
#include <QMutex>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

QMutex guardedLock;
QStringList guarded;  // canonical folders and names, "folder/name"

// The path with its folder resolved (the file itself may not exist yet, as -journal).
QString resolved(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

}  // namespace

void guardDatabaseFiles(const QString& databasePath) {
    const QMutexLocker locker(&guardedLock);
    const QString file = resolved(QFileInfo(databasePath).canonicalFilePath().isEmpty()
                                      ? databasePath
                                      : QFileInfo(databasePath).canonicalFilePath());
    for (const QString& suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s})
        if (!guarded.contains(file + suffix))
            guarded << file + suffix;
}

bool isDatabaseFile(const QString& path) {
    if (path.isEmpty())
        return false;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QMutexLocker locker(&guardedLock);
    return guarded.contains(resolved(path)) ||
           (!canonical.isEmpty() && guarded.contains(canonical));
}
