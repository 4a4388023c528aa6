#include <algorithm>
#include <climits>
#include <vector>

#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>

#include <xlsxwriter.h>

#include "ExportRows.h"
#include "GridExport.h"
#include "OutputFile.h"
#include "ProgressIndicator.h"
#include "Prompts.h"
#include "TextCharacters.h"
#include "WorkbookCheck.h"
#include "WorkbookValues.h"

using namespace Qt::StringLiterals;

namespace {

constexpr lxw_color_t kHeadingFill = 0xFFC080;  // 8438015: red 255, green 192, blue 128
// A measured column is at most this many characters wide, so that one long text (an
// additional information) does not push the columns after it off the screen.
constexpr int kMaxMeasuredWidth = 50;

// A text cut to what a cell holds. The spreadsheet counts a cell's UTF-16 units, so that is the
// limit, but the cut falls before the character that does not fit whole, never inside one (a
// surrogate pair, a letter and its marks).
QString cellText(const QString& text, int& cut) {
    if (text.size() <= kMaxCellCharacters)
        return text;
    ++cut;
    return leadingCharacters(text, kMaxCellCharacters).toString();
}

// A cell's text as the sheet's XML holds it. A spreadsheet reads _xHHHH_ there as the character
// HHHH (libxlsxwriter writes control characters so), so an underscore that starts such a
// sequence in the text is written as its own escape, _x005F_, and "_x0041_" shows as typed,
// not as "A". Every such underscore is escaped, also one that ends the sequence before it.
QString escapedUnderscores(const QString& text) {
    if (!text.contains(u"_x"_s))
        return text;
    static const QRegularExpression sequenceStart(u"_(?=x[0-9A-Fa-f]{4}_)"_s);
    return QString(text).replace(sequenceStart, u"_x005F_"_s);
}

// How wide a text shows, in the widths of a digit, up to `limit`: a Chinese character or a
// full-width sign takes two, any other character one.
int shownWidth(const QString& text, int limit) {
    int width = 0;
    for (qsizetype i = 0; i < text.size() && width < limit; ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isLowSurrogate(c))
            continue;
        const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                          (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                          (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                          (c >= 0xFFE0 && c <= 0xFFE6) || QChar::isHighSurrogate(c);
        width += wide ? 2 : 1;
    }
    return std::min(width, limit);
}

// The cell formats of the workbook: the block's borders on each, and how numbers show.
struct CellFormats {
    lxw_format* heading;
    lxw_format* text;
    lxw_format* amount;
    lxw_format* day;
    lxw_format* dayAndTime;
};

CellFormats addFormats(lxw_workbook* workbook) {
    const CellFormats formats{workbook_add_format(workbook), workbook_add_format(workbook),
                              workbook_add_format(workbook), workbook_add_format(workbook),
                              workbook_add_format(workbook)};
    for (lxw_format* format :
         {formats.heading, formats.text, formats.amount, formats.day, formats.dayAndTime})
        format_set_border(format, LXW_BORDER_THIN);
    format_set_bold(formats.heading);
    format_set_bg_color(formats.heading, kHeadingFill);
    // The sign quoted: a spreadsheet takes it as a text shown before the number, whatever
    // currency its own settings name.
    format_set_num_format(formats.amount, "\"￥\"#,##0.00");
    format_set_num_format(formats.day, "yyyy-mm-dd");
    format_set_num_format(formats.dayAndTime, "yyyy-mm-dd hh:mm");
    return formats;
}

lxw_datetime excelDateTime(const WorkbookDate& date) {
    const QTime time = date.time.value_or(QTime(0, 0));
    return {date.day.year(), date.day.month(), date.day.day(),
            time.hour(),     time.minute(),    double(time.second())};
}

// Writes the workbook into `path`; false when libxlsxwriter refuses anything. The two set-up
// steps (a new workbook; its one sheet, named) and every row are progress steps. Counts the
// texts that were cut in `cut`. The rows go out one by one (libxlsxwriter's constant-memory
// mode), so that the workbook never holds more than the row it writes.
bool writeWorkbook(ExportRows& rows, const QByteArray& path, const QString& sheetName,
                   ProgressIndicator& progress, int& cut) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        return false;
    progress.StepProgress(1, QString());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.toUtf8().constData());
    progress.StepProgress(1, QString());
    bool ok = sheet != nullptr;
    auto check = [&](lxw_error error) { ok = ok && error == LXW_NO_ERROR; };

    const CellFormats formats = addFormats(workbook);
    // One buffer for every cell's UTF-8 text, instead of a new one per cell.
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    std::vector<char> buffer;
    auto toUtf8 = [&](const QString& text) {
        buffer.resize(size_t(utf8.requiredSpace(text.size())) + 1);
        *utf8.appendToBuffer(buffer.data(), text) = '\0';
        return buffer.data();
    };
    // Widths the source does not give are measured on every text written (a measure that
    // stops at the limit), and set before the sheet is closed.
    const std::optional<std::vector<int>> given = rows.columnWidths();
    std::vector<int> widths = given.value_or(std::vector<int>(size_t(rows.headings().size()), 0));
    const bool measure = !given.has_value();
    const std::vector<ExportColumn> kinds = rows.columnKinds();
    lxw_row_t n = 0;
    // A number or a date is as wide as its format shows it, so that the column never shows
    // "####" instead, also where the grid's column was narrower.
    auto widen = [&](qsizetype m, int shown) {
        if (size_t(m) < widths.size())
            widths[size_t(m)] = std::max(widths[size_t(m)], shown + 2);
    };
    // A number cell for an exact amount, a date cell for a date; false for any other text.
    auto writeValue = [&](qsizetype m, const QString& text) {
        const ExportColumn kind = size_t(m) < kinds.size() ? kinds[size_t(m)] : ExportColumn::Text;
        if (kind == ExportColumn::Amount) {
            const std::optional<double> amount = workbookAmount(text);
            if (!amount)
                return false;
            check(worksheet_write_number(sheet, n, lxw_col_t(m), *amount, formats.amount));
            widen(m, shownAmountWidth(*amount));
            return true;
        }
        if (kind == ExportColumn::Date) {
            const std::optional<WorkbookDate> date = workbookDate(text);
            if (!date)
                return false;
            lxw_datetime value = excelDateTime(*date);
            check(worksheet_write_datetime(sheet, n, lxw_col_t(m), &value,
                                           date->time ? formats.dayAndTime : formats.day));
            widen(m, date->time ? 16 : 10);
            return true;
        }
        return false;
    };
    auto writeRow = [&](const QStringList& texts, lxw_format* format, bool values) {
        for (qsizetype m = 0; m < texts.size() && ok; ++m) {
            const QString text = cellText(texts[m], cut);
            // Empty cells get no value, only the border of the block.
            if (text.isEmpty())
                check(worksheet_write_blank(sheet, n, lxw_col_t(m), format));
            else if (values && writeValue(m, text))
                continue;
            else
                check(worksheet_write_string(sheet, n, lxw_col_t(m),
                                             toUtf8(escapedUnderscores(text)), format));
            if (measure && size_t(m) < widths.size())
                widths[size_t(m)] =
                    std::max(widths[size_t(m)], shownWidth(text, kMaxMeasuredWidth - 2) + 2);
        }
        ++n;
        progress.StepProgress(1, QString());
    };
    if (ok)
        writeRow(rows.headings(), formats.heading, false);
    QStringList texts;
    while (ok && rows.next(texts))
        writeRow(texts, formats.text, true);
    ok = ok && !rows.failed();
    for (size_t m = 0; m < widths.size() && ok; ++m)
        check(worksheet_set_column(sheet, lxw_col_t(m), lxw_col_t(m), widths[m], nullptr));
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
    GridRows rows(grid);
    return ExportExcel(rows, fileName, sheetName, progress, prompts);
}

bool ExportExcel(ExportRows& rows, const QString& fileName, const QString& sheetName,
                 ProgressIndicator& progress, Prompts& prompts) {
    progress.StartProgress(u"正在将数据导出到EXCEL文件 …"_s,
                           qint32(std::min<qint64>(3 + rows.count(), INT_MAX)));
    OutputFile file(fileName);
    int cut = 0;
    bool ok = file.open();
    QString reason = file.errorString();
    if (ok) {
        const QByteArray path = QFile::encodeName(file.temporaryPath());
        ok = writeWorkbook(rows, path, sheetName, progress, cut);
        reason = u"the workbook could not be written"_s;
        if (ok) {
            ok = file.commit([](QFile& written) { return isCompleteWorkbook(written); });
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
