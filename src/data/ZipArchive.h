#pragma once

#include <memory>

#include <QByteArray>
#include <QIODevice>
#include <QString>

struct zip;
struct zip_file;

// A part of an archive, unpacked as it is read: a reader never holds more of it than it keeps.
class ZipPart : public QIODevice {
public:
    explicit ZipPart(zip_file* file);
    ~ZipPart() override;
    ZipPart(const ZipPart&) = delete;
    ZipPart& operator=(const ZipPart&) = delete;

    bool isSequential() const override { return true; }
    // Whether reading stopped because the part could not be unpacked whole (damaged, or its
    // checksum wrong), or passed 100 MB, rather than at its end.
    bool failed() const { return failed_; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file* file_;
    qint64 unpacked_ = 0;
    bool failed_ = false;
};

// A zip archive read from memory; the bytes must outlive it. Its parts are unpacked as they are
// read, never held whole, and a part larger than 100 MB cannot be read, whatever size the
// archive states.
class ZipArchive {
public:
    explicit ZipArchive(const QByteArray& bytes);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // An empty archive counts as none: it holds no workbook either.
    bool hasParts() const;

    // The name of a part whose name another part before it has too, ignoring case; empty when
    // every name is its own. Which of two such parts a reader would take is left to chance.
    QString repeatedName() const;

    // A part to read, found by its name ignoring case, as Excel does; nothing when it is absent,
    // too large or cannot be unpacked.
    std::unique_ptr<ZipPart> part(const QString& name) const;

private:
    zip* zip_ = nullptr;
};
