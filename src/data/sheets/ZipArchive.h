#pragma once

#include <limits>
#include <memory>

#include <QByteArray>
#include <QIODevice>
#include <QString>

struct zip;
struct zip_file;

// A part of an archive, unpacked as it is read: a reader never holds more of it than it keeps.
class ZipPart : public QIODevice {
public:
    ZipPart(zip_file* file, qint64 maxSize);
    ~ZipPart() override;
    ZipPart(const ZipPart&) = delete;
    ZipPart& operator=(const ZipPart&) = delete;

    bool isSequential() const override { return true; }
    // Whether reading stopped because the part could not be unpacked whole (damaged, cut short
    // or its checksum wrong), or passed the archive's largest part, rather than at its end.
    bool failed() const { return failed_; }

protected:
    qint64 readData(char* data, qint64 size) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file* file_;
    qint64 maxSize_;
    qint64 unpacked_ = 0;
    bool failed_ = false;
};

// A zip archive whose parts are unpacked as they are read, never held whole.
class ZipArchive {
public:
    // An archive in memory (the bytes must outlive it), such as a list a user picked: a part
    // larger than 100 MB cannot be read, whatever size the archive states.
    explicit ZipArchive(const QByteArray& bytes);
    // An archive this program wrote, read from the device in pieces as its parts are (the
    // device must outlive it); a part may be of any size, and the archive's directory must agree
    // with the headers of its parts.
    explicit ZipArchive(QIODevice& device);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // An empty archive counts as none: it holds no workbook either.
    bool hasParts() const;
    int partCount() const;
    // The name of the part at the index, as the archive's directory gives it.
    QString partName(int index) const;
    // The unpacked size that the archive states for the part; -1 when it states none.
    qint64 statedSize(int index) const;

    // The name of a part whose name another part before it has too, ignoring case; empty when
    // every name is its own. Which of two such parts a reader would take is left to chance.
    QString repeatedName() const;

    // A part to read, found by its index, or by its name ignoring case, as Excel does; nothing
    // when it is absent, too large or cannot be unpacked.
    std::unique_ptr<ZipPart> part(int index) const;
    std::unique_ptr<ZipPart> part(const QString& name) const;

private:
    zip* zip_ = nullptr;
    qint64 maxPartSize_;
};
