#include "GridExport.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include "BoundGrid.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

QString exportFilter() {
    return u"CSV (逗号分隔)(*.csv)|*.csv|MS Excel文件  (*.xlsx)|*.xlsx"_s;
}

bool ExportGrid(const BoundGrid& grid, Prompts& prompts, const QString& sheetName,
                ProgressIndicator& progress) {
    if (!grid.hasDataRows() || grid.cols() == 0) {
        prompts.message(u"表格中没有数据！"_s, {}, PromptButtons::Ok);
        return false;
    }
    const QString fileName = prompts.saveFileName({}, exportFilter());
    if (fileName.isEmpty())
        return false;

    // An existing file is moved aside (which fails while another program holds it) and only
    // deleted once the new file is complete; a failed export puts it back.
    QString aside;
    if (QFileInfo::exists(fileName)) {
        if (prompts.message(u"该文件已存在，是否覆盖？"_s, {}, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
            return false;
        aside = fileName + u".old-"_s + QUuid::createUuid().toString(QUuid::Id128);
        if (!QFile::rename(fileName, aside)) {
            prompts.message(u"该文件无法覆盖，请确认该文件没被其他软件打开！"_s, {},
                            PromptButtons::Ok);
            return false;
        }
    }
    const bool written = fileName.right(3).toLower() == u"csv"
                             ? ExportCsv(grid, fileName, progress)
                             : ExportExcel(grid, fileName, sheetName, progress, prompts);
    if (!aside.isEmpty()) {
        if (written)
            QFile::remove(aside);
        else
            QFile::rename(aside, fileName);
    }
    return written;
}
