#include <algorithm>
#include <climits>

#include <QStringEncoder>

#include "ExportRows.h"
#include "FormulaGuard.h"
#include "GridExport.h"
#include "OutputFile.h"
#include "ProgressIndicator.h"

using namespace Qt::StringLiterals;

namespace {

// Appends the text as csvField writes it; the text as it is (nearly every one) without a copy
// of its own.
void appendCsvField(QString& line, const QString& text) {
    for (const QChar c : text) {
        if (c == u'"' || c == u',' || c == u'\r' || c == u'\n') {
            line += csvField(text);
            return;
        }
    }
    // A text that starts with a letter, a digit or a Chinese character (nearly every one)
    // cannot run as a formula: no need to look further.
    const char16_t first = text.isEmpty() ? u'\0' : text.front().unicode();
    const bool plainStart =
        (first > u' ' && first < 0x7F && !QStringView(u"=+-@'").contains(first)) ||
        (first >= 0x4E00 && first <= 0x9FFF);
    if (!plainStart && needsFormulaGuard(text))
        line += csvField(text);
    else
        line += text;
}

}  // namespace

QString csvField(const QString& text) {
    QString field = text;
    if (needsFormulaGuard(field))
        field.prepend(u'\'');
    const bool quote = field.contains(u'"') || field.contains(u',') || field.contains(u'\r') ||
                       field.contains(u'\n');
    if (!quote)
        return field;
    field.replace(u'"', u"\"\""_s);
    return u'"' + field + u'"';
}

bool ExportCsv(ExportRows& rows, const QString& fileName, ProgressIndicator& progress) {
    OutputFile file(fileName);
    if (!file.open()) {
        qWarning("chequeprint: cannot write %s: %s", qUtf8Printable(fileName),
                 qUtf8Printable(file.errorString()));
        return false;
    }
    QIODevice& out = file.device();
    // The system's code page: the ANSI code page on Windows (GBK on a Chinese system), UTF-8
    // on other systems.
    QStringEncoder encode(QStringConverter::System);
    progress.StartProgress(u"正在导出数据至CSV格式文件……"_s,
                           qint32(std::min<qint64>(rows.count() + 1, INT_MAX)));
    QString line;
    QByteArray bytes;
    bool written = true;
    // The lines are encoded straight into the piece that is written next, which keeps its
    // room from one piece to the next.
    constexpr qsizetype kPiece = 1 << 20;
    bytes.reserve(kPiece + (kPiece >> 2));
    auto writeLine = [&](const QStringList& texts) {
        line.clear();
        for (qsizetype c = 0; c < texts.size(); ++c) {
            if (c > 0)
                line += u',';
            appendCsvField(line, texts[c]);
        }
        line += u"\r\n";
        const qsizetype used = bytes.size();
        bytes.resize(used + encode.requiredSpace(line.size()));
        char* end = encode.appendToBuffer(bytes.data() + used, line);
        bytes.truncate(end - bytes.constData());
        if (bytes.size() > kPiece) {  // write in pieces of about a megabyte
            written = out.write(bytes) == bytes.size();
            bytes.resize(0);
        }
        progress.StepProgress(1, QString());
    };
    writeLine(rows.headings());
    QStringList texts;
    while (written && rows.next(texts))
        writeLine(texts);
    written = written && !rows.failed() && out.write(bytes) == bytes.size();
    const QString writeError = rows.failed() ? u"the rows could not be read"_s : out.errorString();
    written = written && file.commit();
    progress.EndProgress();
    if (!written)
        qWarning("chequeprint: cannot write %s: %s", qUtf8Printable(fileName),
                 qUtf8Printable(file.errorString().isEmpty() ? writeError : file.errorString()));
    return written;
}

bool ExportCsv(const BoundGrid& grid, const QString& fileName, ProgressIndicator& progress) {
    GridRows rows(grid);
    return ExportCsv(rows, fileName, progress);
}
