#include "WorkbookCheck.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include "ZipArchive.h"

namespace {

constexpr qsizetype kPiece = 1 << 16;  // read and inflate this much at a time
constexpr qsizetype kEnd = 4096;       // the end of a part kept to find its closing tag

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

// Reads the whole part, keeping what closesItsRoot needs; false when it does not unpack whole.
bool readPart(ZipPart& part, PartText& text) {
    QByteArray piece(kPiece, Qt::Uninitialized);
    qint64 read;
    while ((read = part.read(piece.data(), kPiece)) > 0)
        text.add(QByteArrayView(piece.constData(), read));
    return read == 0 && !part.failed();
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
    const ZipArchive archive(file);
    for (int i = 0; i < archive.partCount(); ++i) {
        const QString name = archive.partName(i);
        if (!name.endsWith(u".xml") && !name.endsWith(u".rels"))
            continue;
        const std::unique_ptr<ZipPart> part = archive.part(i);
        PartText text;
        if (!part || !readPart(*part, text) || text.size != archive.statedSize(i) ||
            !closesItsRoot(text))
            return false;
    }
    return archive.hasParts();
}
