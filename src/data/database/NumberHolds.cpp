// The cheque numbers held by a running print. A hold lives exactly as long as the print's
// program (or its server session): a print killed midway leaves its number 打印中 and no
// longer held, which is how a number left by a dead print is told from one still printing.
#include "Database.h"
#include "RegisterRules.h"

#include <cerrno>
#include <cstring>

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_UNIX
// One byte of the side file per number: the byte at the number's ID. Locks of the open file
// (not of the process) conflict between two connections of one program too, and a close of
// another descriptor of the file never drops them.
struct flock byteOf(qint64 numberId, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = off_t(numberId);
    lock.l_len = 1;
    return lock;
}
#endif

}  // namespace

bool Database::openHoldsFile(bool create) {
#ifdef Q_OS_UNIX
    if (m_holdsFile >= 0)
        return true;
    const QByteArray path = QFile::encodeName(m_path + u"-printing"_s);
    // Readable and writable by whoever may read and write the database itself.
    struct stat database {};
    const mode_t mode = ::stat(QFile::encodeName(m_path).constData(), &database) == 0
                            ? mode_t(database.st_mode & 0666)
                            : mode_t(0600);
    m_holdsFile = ::open(path.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), mode);
    if (m_holdsFile < 0 && (create || errno != ENOENT))
        qWarning("chequeprint: cannot open %s: %s", path.constData(), std::strerror(errno));
    return m_holdsFile >= 0;
#else
    Q_UNUSED(create);
    return false;
#endif
}

bool Database::holdNumber(qint64 numberId) {
    bool held = false;
    if (m_server) {
        held = execute(u"SELECT pg_advisory_lock(%1, ?::int4)"_s.arg(kPrintingNumberLocks),
                       {numberId});
    } else {
#ifdef Q_OS_UNIX
        struct flock lock = byteOf(numberId, F_WRLCK);
        held = openHoldsFile(true) && fcntl(m_holdsFile, F_OFD_SETLK, &lock) == 0;
        if (!held)
            qWarning("chequeprint: cannot hold number %lld: %s", numberId, std::strerror(errno));
#endif
    }
    if (held && !m_heldNumbers.contains(numberId))
        m_heldNumbers << numberId;
    return held;
}

void Database::releaseNumber(qint64 numberId) {
    if (!m_heldNumbers.removeOne(numberId))
        return;
    if (m_server) {
        execute(u"SELECT pg_advisory_unlock(%1, ?::int4)"_s.arg(kPrintingNumberLocks), {numberId});
        return;
    }
#ifdef Q_OS_UNIX
    struct flock lock = byteOf(numberId, F_UNLCK);
    if (m_holdsFile >= 0)
        fcntl(m_holdsFile, F_OFD_SETLK, &lock);
#endif
}

std::optional<bool> Database::heldByAPrint(qint64 numberId) {
    if (m_heldNumbers.contains(numberId))
        return true;
    if (m_server) {
        // Taken only to the transaction's end: another session's hold refuses it, this one's
        // own does not.
        std::optional<QSqlQuery> free =
            run(u"SELECT pg_try_advisory_xact_lock(%1, ?::int4)"_s.arg(kPrintingNumberLocks),
                {numberId}, true);
        if (!free || !free->next())
            return std::nullopt;
        return !free->value(0).toBool();
    }
#ifdef Q_OS_UNIX
    if (!openHoldsFile(false))
        return errno == ENOENT ? std::optional(false) : std::nullopt;  // no print ever held one
    struct flock lock = byteOf(numberId, F_WRLCK);
    if (fcntl(m_holdsFile, F_OFD_GETLK, &lock) != 0)
        return std::nullopt;
    return lock.l_type != F_UNLCK;
#else
    return false;
#endif
}

void Database::holdAgainAfterReconnect() {
    const QList<qint64> held = m_heldNumbers;
    m_heldNumbers.clear();
    for (const qint64 id : held)
        if (!holdNumber(id))
            qWarning("chequeprint: number %lld is no longer held", id);
}

void Database::closeHolds() {
#ifdef Q_OS_UNIX
    if (m_holdsFile >= 0)
        ::close(m_holdsFile);
    m_holdsFile = -1;
#endif
    m_heldNumbers.clear();
}
