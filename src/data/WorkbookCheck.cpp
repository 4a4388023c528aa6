#include "WorkbookCheck.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <zlib.h>

namespace {

constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;
constexpr qsizetype kPiece = 1 << 16;  // read and inflate this much at a time
constexpr qsizetype kEnd = 4096;       // the end of a part kept to find its closing tag

// Little-endian numbers at an offset; 0 past the end, which no valid record contains.
quint32 number(const QByteArray& bytes, qsizetype at, int size) {
    if (at < 0 || at + size > bytes.size())
        return 0;
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

QByteArray readAt(QIODevice& file, qint64 at, qint64 size) {
    if (at < 0 || size < 0 || !file.seek(at))
        return {};
    return file.read(size);
}

// What is kept of one part's text: its first piece (where the root element opens) and its
// last bytes (where it closes), and how long it is.
struct PartText {
    QByteArray head;
    QByteArray end;
    qint64 size = 0;

    void add(QByteArrayView bytes) {
        if (head.size() < kPiece)
            head += bytes.first(std::min(bytes.size(), kPiece - head.size()));
        end = bytes.size() >= kEnd ? bytes.last(kEnd).toByteArray()
                                   : (end + bytes.toByteArray()).right(kEnd);
        size += bytes.size();
    }
    bool whole() const { return size == head.size(); }
};

// Reads `packed` bytes of a part from the file's current position, inflating them when
// `deflated`; false when they are not all there or do not inflate completely.
bool readPart(QIODevice& file, qint64 packed, bool deflated, PartText& text) {
    z_stream stream{};
    if (deflated && inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    QByteArray output(kPiece, Qt::Uninitialized);
    int result = Z_OK;
    bool ok = true;
    while (ok && packed > 0) {
        const QByteArray input = file.read(std::min<qint64>(packed, kPiece));
        ok = !input.isEmpty();
        packed -= input.size();
        if (!ok || !deflated) {
            text.add(input);
            continue;
        }
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        stream.avail_in = uInt(input.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(output.data());
            stream.avail_out = uInt(output.size());
            result = inflate(&stream, Z_NO_FLUSH);
            ok = result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR;
            text.add(QByteArrayView(output.constData(), output.size() - stream.avail_out));
        } while (ok && stream.avail_out == 0 && result != Z_STREAM_END);
    }
    if (deflated) {
        inflateEnd(&stream);
        ok = ok && result == Z_STREAM_END;
    }
    return ok;
}

// The XML text ends by closing the element it opened first.
bool closesItsRoot(const PartText& text) {
    const QByteArrayView xml(text.head);
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
    const QByteArrayView trimmed = QByteArrayView(text.end).trimmed();
    // A root element that closes itself is the whole of a short part.
    return trimmed.endsWith(close) ||
           (text.whole() && trimmed.endsWith("/>") && xml.trimmed().indexOf('<', end) < 0);
}

}  // namespace

bool isCompleteWorkbook(QIODevice& file) {
    const qint64 end = file.size() - 22;  // no archive comment
    const QByteArray record = readAt(file, end, 22);
    if (number(record, 0, 4) != kEndOfDirectory)
        return false;
    const int entries = int(number(record, 10, 2));
    const QByteArray directory = readAt(file, number(record, 16, 4), number(record, 12, 4));
    qsizetype at = 0;
    for (int i = 0; i < entries; ++i) {
        if (number(directory, at, 4) != kDirectoryEntry)
            return false;
        const quint32 method = number(directory, at + 10, 2);
        const qint64 packed = number(directory, at + 20, 4);
        const qint64 size = number(directory, at + 24, 4);
        const qsizetype nameLength = number(directory, at + 28, 2);
        const qint64 local = number(directory, at + 42, 4);
        const QByteArray name = directory.mid(at + 46, nameLength);
        at += 46 + nameLength + number(directory, at + 30, 2) + number(directory, at + 32, 2);
        if (!name.endsWith(".xml") && !name.endsWith(".rels"))
            continue;
        const QByteArray header = readAt(file, local, 30);
        if (number(header, 0, 4) != kLocalHeader || (method != 0 && method != 8))
            return false;
        const qint64 data = local + 30 + number(header, 26, 2) + number(header, 28, 2);
        if (data + packed > file.size() || !file.seek(data))
            return false;
        PartText text;
        if (!readPart(file, packed, method == 8, text) || text.size != size || !closesItsRoot(text))
            return false;
    }
    return entries > 0;
}
