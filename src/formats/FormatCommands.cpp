#include "FormatCommands.h"

#include "BoundGrid.h"
#include "Database.h"
#include "Document.h"
#include "FormatBackground.h"
#include "FormatStore.h"
#include "GridRoutines.h"
#include "NumberText.h"
#include "ProgressIndicator.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kFirstColumn = 2;  // after the hidden ID and the serial number
constexpr int kColorColumn = 6;
constexpr int kFirstFlagColumn = 9;

// The value a grid cell stores in its table column.
QVariant cellValue(const BoundGrid& grid, int row, int col) {
    if (col == kColorColumn)
        return qint64(GetCellColor(grid, row, col, false));
    const QString& text = grid.text(row, col);
    if (col >= kFirstFlagColumn)
        return !text.isEmpty();  // a yes/no column
    const QString& column = grid.text(0, col);
    if (column == u"X" || column == u"Y" || column == u"S" || column == u"fSize")
        return numericValue(text);
    return text;
}

bool formatExists(Database& db, const QString& kind, const QString& name, bool& exists) {
    std::optional<QSqlQuery> row =
        db.select(u"SELECT Name FROM 支票格式 WHERE 种类=? AND Name=? LIMIT 1"_s, {kind, name});
    exists = row && row->next();
    return row.has_value();
}

}  // namespace

bool SaveFormatFromGrid(Database& db, BoundGrid& grid, const QString& name, Document& cheque,
                        FormatDisplays& displays, ProgressIndicator& progress, Prompts& prompts) {
    if (name.trimmed().isEmpty()) {
        prompts.message(u"格式名称不能为空！"_s, {}, PromptButtons::Ok);
        return false;
    }
    const QString kind = cheque.kind().id.toString();
    QStringList columns = {u"种类"_s, u"Name"_s};
    for (int c = kFirstColumn; c < grid.cols(); ++c)
        columns << grid.text(0, c);
    const QString insert = u"INSERT INTO 支票格式 ("_s + columns.join(u',') + u") VALUES ("_s +
                           QStringList(columns.size(), u"?"_s).join(u',') + u')';
    const QString remove = u"DELETE FROM 支票格式 WHERE 种类=? AND Name=? AND CtlDF<>''"_s;
    const bool ok = db.atomically([&] {
        progress.StartProgress(u"正在保存格式……"_s, grid.rows() + 1);
        // Another clerk saving this format at the same moment waits here, so the two sets of
        // rows never both stay.
        bool written = lockFormat(db, name, kind) && db.execute(remove, {kind, name});
        if (!written)
            db.showStatementError(remove);
        progress.StepProgress(1, QString());
        for (int r = grid.fixedRows(); r < grid.rows() && written; ++r) {
            QVariantList values = {kind, name};
            for (int c = kFirstColumn; c < grid.cols(); ++c)
                values << cellValue(grid, r, c);
            written = db.execute(insert, values);
            if (!written)
                db.showStatementError(insert);
            progress.StepProgress(1, QString());
        }
        return written &&
               SavePageSettings(db, numericValue(displays.marginX), numericValue(displays.marginY),
                                numericValue(displays.stubWidth), name, cheque, displays);
    });
    if (!ok) {
        progress.EndProgress();
        return false;
    }
    SetAllForeColor(grid, 0);
    ApplyFormatFonts(db, name, cheque, progress);
    progress.EndProgress();
    return true;
}

bool SaveFormatAs(Database& db, BoundGrid& grid, const QString& chosen, Document& cheque,
                  FormatDisplays& displays, ProgressIndicator& progress, Prompts& prompts) {
    if (chosen.isEmpty())
        return false;
    const QString kind = cheque.kind().id.toString();
    bool exists = false;
    if (!formatExists(db, kind, chosen, exists))
        return false;
    if (exists && prompts.message(u"该格式已经存在，是否覆盖？"_s, {}, PromptButtons::YesNo) !=
                      PromptAnswer::Yes)
        return false;
    if (!SaveFormatFromGrid(db, grid, chosen, cheque, displays, progress, prompts))
        return false;
    ListFormatNames(db, displays, kind);
    displays.currentFormat = chosen;
    return SetCurrentFormat(db, chosen, kind);
}

bool DeleteFormat(Database& db, const QString& chosen, FormatDisplays& displays, Prompts& prompts,
                  const QString& kind) {
    if (chosen.isEmpty())
        return false;
    if (chosen == displays.currentFormat) {
        prompts.message(u"此格式为当前格式，不允许删除！"_s, {}, PromptButtons::Ok);
        return false;
    }
    if (prompts.message(u"您确定要删除格式“"_s + chosen + u"”？"_s, {},
                        PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return false;
    const QString remove = u"DELETE FROM 支票格式 WHERE 种类=? AND Name=?"_s;
    const bool deleted = db.atomically([&] {
        // Its background goes with it: a later format of the name starts without one.
        if (lockFormat(db, chosen, kind) && db.execute(remove, {kind, chosen}))
            return writeBackground(db, chosen, kind, {});
        db.showStatementError(remove);
        return false;
    });
    if (!deleted)
        return false;
    const QString current = displays.currentFormat;
    ListFormatNames(db, displays, kind);
    displays.currentFormat = current;
    prompts.message(u"删除完成！"_s, {}, PromptButtons::Ok);
    return true;
}
