#include "OutputFile.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

#include "DatabaseFiles.h"

using namespace Qt::StringLiterals;

namespace {

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// The last `count` bytes of the file.
QByteArray tail(QFile& file, qint64 count) {
    const qint64 size = file.size();
    if (!file.seek(qMax<qint64>(0, size - count)))
        return {};
    return file.readAll();
}

// What marks a temporary file as this program's: ".TARGET" + kTemporaryMark + six random
// letters.
const QString kTemporaryMark = u".chequeprint-"_s;

// Removes the temporary files that writes into `folder` left behind when the program was
// killed: this user's regular files of our naming that have not changed for ten minutes and
// that no process holds locked. A file another process is writing is locked; the age keeps a
// file just created, not yet locked, and on a file system without locks nothing is removed.
void removeStaleTemporaries(const QString& folder) {
#ifdef Q_OS_UNIX
    constexpr std::time_t kStaleAfter = 10 * 60;  // seconds
    const QStringList names =
        QDir(folder).entryList({u".*"_s + kTemporaryMark + u"??????"_s},
                               QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString& name : names) {
        const QByteArray path = QFile::encodeName(folder + u'/' + name);
        const int file = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        // Removed only while this process holds its lock, and only when the name still is the
        // file that was checked.
        if (::fstat(file, &opened) == 0 && S_ISREG(opened.st_mode) &&
            opened.st_uid == ::geteuid() && std::time(nullptr) - opened.st_mtime > kStaleAfter &&
            ::flock(file, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.constData(), &named) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(path.constData());
        ::close(file);
    }
#else
    Q_UNUSED(folder);
#endif
}

}  // namespace

OutputFile::OutputFile(const QString& target) : m_target(target) {}

OutputFile::~OutputFile() {
    release();
}

void OutputFile::release() {
#ifdef Q_OS_UNIX
    if (m_lock >= 0)
        ::close(m_lock);
#endif
    m_lock = -1;
}

bool OutputFile::fail(const QString& reason) {
    m_error = reason;
    if (!m_temporary.fileName().isEmpty())
        m_temporary.remove();
    release();
    return false;
}

bool OutputFile::open() {
    const QFileInfo info(m_target);
    if (m_target.isEmpty() || info.fileName().isEmpty())
        return fail(u"no file name"_s);
    if (info.exists() && !info.isFile())
        return fail(m_target + u" is not a regular file"_s);
    if (isDatabaseFile(m_target))
        return fail(m_target + u" is the program's database"_s);
    removeStaleTemporaries(info.absolutePath());
    m_temporary.setFileTemplate(info.absolutePath() + u"/."_s + info.fileName() + kTemporaryMark +
                                u"XXXXXX"_s);
    if (!m_temporary.open())
        return fail(m_temporary.errorString());
#ifdef Q_OS_UNIX
    // Held by a descriptor of its own, which stays open when the writer closes the file to
    // write it by name. Where the file system has no locks, nothing is removed as stale either.
    m_lock = ::fcntl(m_temporary.handle(), F_DUPFD_CLOEXEC, 0);
    if (m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) != 0)
        release();
#endif
    // QTemporaryFile creates the file for its owner only; say so whatever the umask did.
    if (!m_temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return fail(m_temporary.errorString());
    return true;
}

QString OutputFile::temporaryPath() {
    // Closed, the file stays on disk; the writer opens it by name.
    m_temporary.close();
    return m_temporary.fileName();
}

bool OutputFile::commit(const std::function<bool(QFile&)>& verify) {
    if (m_temporary.isOpen()) {
        const qint64 written = m_temporary.pos();
        if (!m_temporary.flush() || m_temporary.error() != QFileDevice::NoError)
            return fail(m_temporary.errorString());
        m_temporary.close();
        if (QFileInfo(m_temporary.fileName()).size() != written)
            return fail(u"the file was cut short"_s);
    }
    QFile written(m_temporary.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return fail(written.errorString());
    if (written.size() == 0 || (verify && !verify(written)))
        return fail(u"the file is incomplete"_s);
#ifdef Q_OS_UNIX
    if (::fsync(written.handle()) != 0)
        return fail(u"the file could not be written to the disk"_s);
#endif
    written.close();
    std::error_code error;
    std::filesystem::rename(nativePath(m_temporary.fileName()), nativePath(m_target), error);
    if (error)
        return fail(QString::fromStdString(error.message()));
    m_temporary.setAutoRemove(false);
    release();
    return true;
}

bool isCompletePdf(QFile& file) {
    return tail(file, 1024).contains("%%EOF");
}
