#include <QSaveFile>
#include <QStringEncoder>

#include "BoundGrid.h"
#include "GridExport.h"
#include "ProgressIndicator.h"

using namespace Qt::StringLiterals;

QString csvField(const QString& text) {
    if (!text.contains(u'"') && !text.contains(u','))
        return text;
    QString field = text;
    field.replace(u'"', u"\"\""_s);
    return u'"' + field + u'"';
}

bool ExportCsv(const BoundGrid& grid, const QString& fileName, ProgressIndicator& progress) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The system's code page: the ANSI code page on Windows (GBK on a Chinese system), UTF-8
    // on other systems.
    QStringEncoder encode(QStringConverter::System);
    progress.StartProgress(u"正在导出数据至CSV格式文件……"_s, grid.rows());
    QString line;
    QByteArray bytes;
    for (int r = 0; r < grid.rows(); ++r) {
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
                file.write(bytes);
                bytes.clear();
            }
        }
        progress.StepProgress(1, QString());
    }
    file.write(bytes);
    progress.EndProgress();
    return file.commit();
}
