#include "WorkbookCheck.h"

#include <QByteArray>
#include <QByteArrayView>

#include <zlib.h>

namespace {

constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;

// Little-endian numbers at an offset; 0 past the end, which no valid record contains.
quint32 number(const QByteArray& bytes, qsizetype at, int size) {
    if (at < 0 || at + size > bytes.size())
        return 0;
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

bool inflateRaw(QByteArrayView input, QByteArray& output) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream.avail_in = uInt(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.total_out == uLong(output.size());
    inflateEnd(&stream);
    return whole;
}

// The XML text ends by closing the element it opened first.
bool closesItsRoot(QByteArrayView xml) {
    qsizetype open = 0;
    while ((open = xml.indexOf('<', open)) >= 0 && open + 1 < xml.size() &&
           (xml[open + 1] == '?' || xml[open + 1] == '!'))
        ++open;
    if (open < 0)
        return false;
    qsizetype end = open + 1;
    while (end < xml.size() && !QByteArrayView(" \t\r\n/>").contains(xml[end]))
        ++end;
    const QByteArray close = "</" + xml.sliced(open + 1, end - open - 1).toByteArray() + '>';
    const QByteArrayView trimmed = xml.trimmed();
    return trimmed.endsWith(close) || (trimmed.endsWith("/>") && trimmed.indexOf('<', end) < 0);
}

}  // namespace

bool isCompleteWorkbook(const QByteArray& archive) {
    const qsizetype end = archive.size() - 22;  // no archive comment
    if (end < 0 || number(archive, end, 4) != kEndOfDirectory)
        return false;
    const int entries = int(number(archive, end + 10, 2));
    qsizetype at = number(archive, end + 16, 4);
    for (int i = 0; i < entries; ++i) {
        if (number(archive, at, 4) != kDirectoryEntry)
            return false;
        const quint32 method = number(archive, at + 10, 2);
        const qsizetype packed = number(archive, at + 20, 4);
        const qsizetype size = number(archive, at + 24, 4);
        const qsizetype nameLength = number(archive, at + 28, 2);
        const qsizetype local = number(archive, at + 42, 4);
        const QByteArray name = archive.mid(at + 46, nameLength);
        at += 46 + nameLength + number(archive, at + 30, 2) + number(archive, at + 32, 2);
        if (!name.endsWith(".xml") && !name.endsWith(".rels"))
            continue;
        if (number(archive, local, 4) != kLocalHeader)
            return false;
        const qsizetype data =
            local + 30 + number(archive, local + 26, 2) + number(archive, local + 28, 2);
        if (data + packed > archive.size())
            return false;
        const QByteArrayView stored(archive.constData() + data, packed);
        QByteArray xml(size, Qt::Uninitialized);
        if (method == 0)
            xml = stored.toByteArray();
        else if (method != 8 || !inflateRaw(stored, xml))
            return false;
        if (!closesItsRoot(xml))
            return false;
    }
    return entries > 0;
}
