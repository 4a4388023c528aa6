#include "ZipArchive.h"

#include <QSet>

#include <zip.h>

namespace {

constexpr zip_uint64_t kMaxPartSize = 100 * 1024 * 1024;  // far beyond any real list

}  // namespace

ZipPart::ZipPart(zip_file* file) : file_(file) {
    open(QIODevice::ReadOnly);
}

ZipPart::~ZipPart() {
    zip_fclose(file_);
}

qint64 ZipPart::readData(char* data, qint64 size) {
    const zip_int64_t read = zip_fread(file_, data, zip_uint64_t(size));
    // libzip checks the part's checksum at its end: a part changed by hand fails there.
    failed_ = failed_ || read < 0 || zip_uint64_t(unpacked_ += read) > kMaxPartSize;
    return failed_ ? -1 : read;
}

ZipArchive::ZipArchive(const QByteArray& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    // Opened without the consistency checks, libzip takes two parts of one name and finds the
    // first: repeatedName() tells them.
    if (source && !(zip_ = zip_open_from_source(source, ZIP_RDONLY, &error)))
        zip_source_free(source);
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive() {
    if (zip_)
        zip_discard(zip_);
}

bool ZipArchive::hasParts() const {
    return zip_ && zip_get_num_entries(zip_, 0) > 0;
}

QString ZipArchive::repeatedName() const {
    QSet<QString> names;
    const zip_int64_t count = zip_ ? zip_get_num_entries(zip_, 0) : 0;
    for (zip_int64_t at = 0; at < count; ++at) {
        const char* name = zip_get_name(zip_, zip_uint64_t(at), 0);
        if (!name)
            continue;
        const QString found = QString::fromUtf8(name);
        const QString folded = found.toCaseFolded();
        if (names.contains(folded))
            return found;
        names.insert(folded);
    }
    return {};
}

std::unique_ptr<ZipPart> ZipArchive::part(const QString& name) const {
    const zip_int64_t at = zip_name_locate(zip_, name.toUtf8().constData(), ZIP_FL_NOCASE);
    zip_stat_t stat;
    if (at < 0 || zip_stat_index(zip_, zip_uint64_t(at), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || stat.size > kMaxPartSize)
        return nullptr;
    zip_file_t* file = zip_fopen_index(zip_, zip_uint64_t(at), 0);
    return file ? std::make_unique<ZipPart>(file) : nullptr;
}
