#include <QStringEncoder>

#include "BoundGrid.h"
#include "GridExport.h"
#include "OutputFile.h"
#include "ProgressIndicator.h"

using namespace Qt::StringLiterals;

QString csvField(const QString& text) {
    QString field = text;
    // A spreadsheet runs a cell beginning like this as a formula.
    if (!field.isEmpty() && QStringView(u"=+-@\t").contains(field.front()))
        field.prepend(u'\'');
    const bool quote = field.contains(u'"') || field.contains(u',') || field.contains(u'\r') ||
                       field.contains(u'\n');
    if (!quote)
        return field;
    field.replace(u'"', u"\"\""_s);
    return u'"' + field + u'"';
}

bool ExportCsv(const BoundGrid& grid, const QString& fileName, ProgressIndicator& progress) {
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
    progress.StartProgress(u"正在导出数据至CSV格式文件……"_s, grid.rows());
    QString line;
    QByteArray bytes;
    bool written = true;
    for (int r = 0; r < grid.rows() && written; ++r) {
        if (grid.rowHeight(r) > 0) {
            line.clear();
            bool first = true;
            for (int c = 0; c < grid.cols(); ++c) {
                if (grid.colWidth(c) == 0)
                    continue;
                if (!first)
                    line += u',';
                line += csvField(grid.text(r, c));
                first = false;
            }
            line += u"\r\n";
            bytes += encode(line);
            if (bytes.size() > (1 << 20)) {  // write in pieces of about a megabyte
                written = out.write(bytes) == bytes.size();
                bytes.clear();
            }
        }
        progress.StepProgress(1, QString());
    }
    written = written && out.write(bytes) == bytes.size();
    const QString writeError = out.errorString();
    written = written && file.commit();
    progress.EndProgress();
    if (!written)
        qWarning("chequeprint: cannot write %s: %s", qUtf8Printable(fileName),
                 qUtf8Printable(file.errorString().isEmpty() ? writeError : file.errorString()));
    return written;
}
