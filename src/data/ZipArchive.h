#pragma once

#include <memory>

#include <QByteArray>
#include <QIODevice>
#include <QString>

struct zip;

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
    std::unique_ptr<QIODevice> part(const QString& name) const;

private:
    zip* zip_ = nullptr;
};
