#include "GridExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include "BoundGrid.h"
#include "DatabaseFiles.h"
#include "ExportRows.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

QString historySheetName() {
    return u"Zentavo支票打印历史记录"_s;
}

QString exportFilter() {
    return u"CSV (逗号分隔)(*.csv)|*.csv|MS Excel文件  (*.xlsx)|*.xlsx"_s;
}

QString proposedExportName(const QString& what, const QDate& today) {
    return what + u'-' + today.toString(u"yyyyMMdd"_s) + u".xlsx"_s;
}

QString exportedMessage(qint64 rows, const QString& fileName) {
    return u"已导出 %1 行到 %2"_s.arg(QLocale(QLocale::Chinese, QLocale::China).toString(rows),
                                      QDir::toNativeSeparators(fileName));
}

QString chooseExportFile(Prompts& prompts, const QString& proposedName) {
    int choice = 0;
    QString fileName =
        prompts.saveFile(FilePurpose::Export, {}, exportFilter(), proposedName, &choice);
    // A name typed without an ending gets the one of the kind of file chosen in the dialog,
    // and is written as that kind; a name's own ending decides otherwise.
    if (!fileName.isEmpty() && QFileInfo(fileName).suffix().isEmpty()) {
        const QString pattern = exportFilter().split(u'|').value(2 * choice + 1, u"*.csv"_s);
        const QString ending = pattern.mid(pattern.indexOf(u'.') + 1);  // "*.xlsx": "xlsx"
        fileName += fileName.endsWith(u'.') ? ending : u'.' + ending;
    }
    return fileName;
}

bool mayReplaceExportFile(const QString& fileName, Prompts& prompts) {
    // The open database is never probed, let alone replaced.
    if (isDatabaseFile(fileName)) {
        prompts.message(u"该文件无法覆盖，请确认该文件没被其他软件打开！"_s, {}, PromptButtons::Ok);
        return false;
    }
    const QFileInfo existing(fileName);
    if (existing.exists() || existing.isSymLink()) {
        if (prompts.message(u"该文件已存在，是否覆盖？"_s, {}, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
            return false;
        // A folder, a device, or a file that another program holds cannot be replaced. The
        // old file itself stays until the new one is complete.
        QFile probe(fileName);
        if (!existing.isFile() || !probe.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
            prompts.message(u"该文件无法覆盖，请确认该文件没被其他软件打开！"_s, {},
                            PromptButtons::Ok);
            return false;
        }
    }
    return true;
}

bool isCsvExportName(const QString& fileName) {
    return fileName.right(3).toLower() == u"csv";
}

bool ExportGrid(const BoundGrid& grid, Prompts& prompts, const QString& sheetName,
                const QDate& today, ProgressIndicator& progress) {
    if (!grid.hasDataRows() || grid.cols() == 0) {
        prompts.message(u"表格中没有数据！"_s, {}, PromptButtons::Ok);
        return false;
    }
    const QString fileName = chooseExportFile(prompts, proposedExportName(sheetName, today));
    if (fileName.isEmpty() || !mayReplaceExportFile(fileName, prompts) ||
        !exportGridToFile(grid, fileName, sheetName, progress, prompts))
        return false;
    prompts.message(exportedMessage(GridRows(grid).count(), fileName), {}, PromptButtons::Ok);
    return true;
}

bool exportGridToFile(const BoundGrid& grid, const QString& fileName, const QString& sheetName,
                      ProgressIndicator& progress, Prompts& prompts) {
    if (!isCsvExportName(fileName))
        return ExportExcel(grid, fileName, sheetName, progress, prompts);
    if (ExportCsv(grid, fileName, progress))
        return true;
    prompts.message(u"文件保存出错！"_s, {}, PromptButtons::Ok);
    return false;
}
