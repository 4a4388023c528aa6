#include "ZipArchive.h"

#include <algorithm>
#include <climits>

#include <QSet>

#include <zip.h>

namespace {

constexpr qint64 kMaxListPartSize = 100 * 1024 * 1024;  // far beyond any real list

// libzip reads a device through this: the device and the error libzip asks about.
struct DeviceSource {
    QIODevice& device;
    zip_error_t error;
};

zip_int64_t failWith(DeviceSource& source, int code) {
    zip_error_set(&source.error, code, 0);
    return -1;
}

zip_int64_t readDevice(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    DeviceSource& source = *static_cast<DeviceSource*>(state);
    QIODevice& device = source.device;
    switch (command) {
        case ZIP_SOURCE_OPEN:
            return device.seek(0) ? 0 : failWith(source, ZIP_ER_SEEK);
        case ZIP_SOURCE_READ: {
            const qint64 read = device.read(static_cast<char*>(data), qint64(length));
            return read >= 0 ? read : failWith(source, ZIP_ER_READ);
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            if (length < sizeof(zip_stat_t))
                return failWith(source, ZIP_ER_INVAL);
            zip_stat_t* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = zip_uint64_t(device.size());
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&source.error, data, length);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&source.error);
            delete &source;
            return 0;
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t at = zip_source_seek_compute_offset(zip_uint64_t(device.pos()),
                                                                  zip_uint64_t(device.size()), data,
                                                                  length, &source.error);
            return at >= 0 && device.seek(at) ? 0 : failWith(source, ZIP_ER_SEEK);
        }
        case ZIP_SOURCE_TELL:
            return device.pos();
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE;
        default:
            return failWith(source, ZIP_ER_OPNOTSUPP);
    }
}

}  // namespace

ZipPart::ZipPart(zip_file* file, qint64 maxSize) : file_(file), maxSize_(maxSize) {
    open(QIODevice::ReadOnly);
}

ZipPart::~ZipPart() {
    zip_fclose(file_);
}

qint64 ZipPart::readData(char* data, qint64 size) {
    const zip_int64_t read = zip_fread(file_, data, zip_uint64_t(size));
    // libzip checks the part's checksum at its end: a part changed by hand fails there.
    failed_ = failed_ || read < 0 || (unpacked_ += read) > maxSize_;
    return failed_ ? -1 : read;
}

ZipArchive::ZipArchive(const QByteArray& bytes) : maxPartSize_(kMaxListPartSize) {
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

ZipArchive::ZipArchive(QIODevice& device) : maxPartSize_(std::numeric_limits<qint64>::max()) {
    zip_error_t error;
    zip_error_init(&error);
    auto* state = new DeviceSource{device, {}};
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function_create(readDevice, state, &error);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
    } else if (!(zip_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error))) {
        zip_source_free(source);  // frees the state too
    }
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive() {
    if (zip_)
        zip_discard(zip_);
}

bool ZipArchive::hasParts() const {
    return partCount() > 0;
}

int ZipArchive::partCount() const {
    return zip_ ? int(std::min<zip_int64_t>(zip_get_num_entries(zip_, 0), INT_MAX)) : 0;
}

QString ZipArchive::partName(int index) const {
    const char* name = zip_ ? zip_get_name(zip_, zip_uint64_t(index), 0) : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

qint64 ZipArchive::statedSize(int index) const {
    zip_stat_t stat;
    if (!zip_ || zip_stat_index(zip_, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return -1;
    return qint64(stat.size);
}

QString ZipArchive::repeatedName() const {
    QSet<QString> names;
    for (int at = 0; at < partCount(); ++at) {
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

std::unique_ptr<ZipPart> ZipArchive::part(int index) const {
    const qint64 size = statedSize(index);
    if (size < 0 || size > maxPartSize_)
        return nullptr;
    zip_file_t* file = zip_fopen_index(zip_, zip_uint64_t(index), 0);
    return file ? std::make_unique<ZipPart>(file, maxPartSize_) : nullptr;
}

std::unique_ptr<ZipPart> ZipArchive::part(const QString& name) const {
    if (!zip_)
        return nullptr;
    const zip_int64_t at = zip_name_locate(zip_, name.toUtf8().constData(), ZIP_FL_NOCASE);
    return at >= 0 ? part(int(at)) : nullptr;
}
