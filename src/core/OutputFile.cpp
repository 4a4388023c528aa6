#include "OutputFile.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
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

}  // namespace

OutputFile::OutputFile(const QString& target) : m_target(target) {}

bool OutputFile::fail(const QString& reason) {
    m_error = reason;
    if (!m_temporary.fileName().isEmpty())
        m_temporary.remove();
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
    m_temporary.setFileTemplate(info.absolutePath() + u"/."_s + info.fileName() + u".XXXXXX"_s);
    if (!m_temporary.open())
        return fail(m_temporary.errorString());
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
    return true;
}

bool isCompletePdf(QFile& file) {
    return tail(file, 1024).contains("%%EOF");
}
