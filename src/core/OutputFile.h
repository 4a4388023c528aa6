#pragma once

#include <functional>

#include <QString>
#include <QTemporaryFile>

class QFile;
class QIODevice;

// Writes a file completely or not at all. The content goes into a temporary file beside the
// target, created exclusively under a random name (so a planted name is never followed) and
// readable by its owner only; only a complete file is renamed over the target. On any
// failure the old file stays and the temporary file is removed.
//
// The temporary file is named ".TARGET.chequeprint-XXXXXX" and held locked while it is
// written. A program killed while writing leaves it behind, with what was written (maybe a
// whole cheque); the next output into that folder removes such files of its owner that nobody
// holds locked and that have not changed for ten minutes.
class OutputFile final {
public:
    explicit OutputFile(const QString& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file. False when the target exists and is not a regular file (a
    // folder, a device) or the temporary file cannot be created.
    bool open();

    // For a writer that takes a device: write here, then commit().
    QIODevice& device() { return m_temporary; }
    // For a writer that needs a file name: it writes the file and closes it, then commit().
    QString temporaryPath();

    // Checks that every write reached the disk and that `verify` (given the written file,
    // open for reading) accepts it, then renames it over the target.
    bool commit(const std::function<bool(QFile&)>& verify = {});

    const QString& target() const { return m_target; }
    // Why the last step failed, for the developer's stderr.
    const QString& errorString() const { return m_error; }

private:
    bool fail(const QString& reason);
    // Lets go of the temporary file's lock.
    void release();

    QString m_target;
    QTemporaryFile m_temporary;
    int m_lock = -1;  // a descriptor of the temporary file that holds its lock
    QString m_error;
};

// A verifier for commit(): a PDF ends with its end-of-file marker.
bool isCompletePdf(QFile& file);
