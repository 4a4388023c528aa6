#include <vector>

#include <QFile>
#include <QStringEncoder>

#include <xlsxwriter.h>

#include "BoundGrid.h"
#include "GridExport.h"
#include "OutputFile.h"
#include "ProgressIndicator.h"
#include "Prompts.h"
#include "TextCharacters.h"
#include "WorkbookCheck.h"

using namespace Qt::StringLiterals;

namespace {

constexpr lxw_color_t kHeadingFill = 0xFFC080;  // 8438015: red 255, green 192, blue 128
constexpr int kTwipsPerCharacter = 123;

// A text cut to what a cell holds. The spreadsheet counts a cell's UTF-16 units, so that is the
// limit, but the cut falls before the character that does not fit whole, never inside one (a
// surrogate pair, a letter and its marks).
QString cellText(const QString& text, int& cut) {
    if (text.size() <= kMaxCellCharacters)
        return text;
    ++cut;
    return leadingCharacters(text, kMaxCellCharacters).toString();
}

// Writes the workbook into `path`; false when libxlsxwriter refuses anything. The two set-up
// steps (a new workbook; its one sheet, named) and every grid row are progress steps. Counts
// the texts that were cut in `cut`.
bool writeWorkbook(const BoundGrid& grid, const QByteArray& path, const QString& sheetName,
                   ProgressIndicator& progress, int& cut) {
    lxw_workbook* workbook = workbook_new(path.constData());
    if (!workbook)
        return false;
    progress.StepProgress(1, QString());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
    progress.StepProgress(1, QString());
    bool ok = sheet != nullptr;
    auto check = [&](lxw_error error) { ok = ok && error == LXW_NO_ERROR; };

    lxw_format* body = workbook_add_format(workbook);
    lxw_format* heading = workbook_add_format(workbook);
    format_set_border(body, LXW_BORDER_THIN);
    format_set_border(heading, LXW_BORDER_THIN);
    format_set_bold(heading);
    format_set_bg_color(heading, kHeadingFill);
    // One buffer for every cell's UTF-8 text, instead of a new one per cell.
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    std::vector<char> buffer;
    auto toUtf8 = [&](const QString& text) {
        buffer.resize(size_t(utf8.requiredSpace(text.size())) + 1);
        *utf8.appendToBuffer(buffer.data(), text) = '\0';
        return buffer.data();
    };
    lxw_row_t n = 0;
    for (int j = 0; j < grid.rows() && ok; ++j) {
        if (grid.rowHeight(j) > 0) {
            lxw_format* format = j < grid.fixedRows() ? heading : body;
            lxw_col_t m = 0;
            for (int i = 0; i < grid.cols(); ++i) {
                if (grid.colWidth(i) == 0)
                    continue;
                const QString text = cellText(grid.text(j, i), cut);
                // Empty cells get no value, only the border of the block.
                if (text.isEmpty())
                    check(worksheet_write_blank(sheet, n, m, format));
                else
                    check(worksheet_write_string(sheet, n, m, toUtf8(text), format));
                if (j == grid.fixedRows() - 1)
                    check(worksheet_set_column(sheet, m, m, grid.colWidth(i) / kTwipsPerCharacter,
                                               nullptr));
                ++m;
            }
            ++n;
        }
        progress.StepProgress(1, QString());
    }
    const lxw_error closed = workbook_close(workbook);
    return ok && closed == LXW_NO_ERROR;
}

}  // namespace

QString ColumnLetters(qint32 column) {
    QString letters;
    for (qint64 n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + int((n - 1) % 26)));
    return letters;
}

bool ExportExcel(const BoundGrid& grid, const QString& fileName, const QString& sheetName,
                 ProgressIndicator& progress, Prompts& prompts) {
    progress.StartProgress(u"正在将数据导出到EXCEL文件 …"_s, 2 + grid.rows());
    OutputFile file(fileName);
    int cut = 0;
    bool ok = file.open();
    QString reason = file.errorString();
    if (ok) {
        const QByteArray path = QFile::encodeName(file.temporaryPath());
        ok = writeWorkbook(grid, path, sheetName, progress, cut);
        reason = u"the workbook could not be written"_s;
        if (ok) {
            ok = file.commit([](QFile& written) { return isCompleteWorkbook(written.readAll()); });
            reason = file.errorString();
        }
    }
    progress.EndProgress();
    if (!ok) {
        qWarning("chequeprint: cannot write %s: %s", qUtf8Printable(fileName),
                 qUtf8Printable(reason));
        prompts.message(u"文件保存出错！"_s, {}, PromptButtons::Ok);
    } else if (cut > 0) {
        prompts.message(u"有%1个单元格的内容超过32767个字符，已截断。"_s.arg(cut), {},
                        PromptButtons::Ok);
    }
    return ok;
}
