#include "FormatGrid.h"

#include "BoundGrid.h"
#include "Document.h"
#include "FormatStore.h"
#include "NumberText.h"
#include "TextFont.h"

using namespace Qt::StringLiterals;

const QStringList& formatGridNames() {
    static const QStringList names = {u"ID"_s,         u""_s,      u"CtlDF"_s,   u"X"_s,
                                      u"Y"_s,          u"S"_s,     u"Color"_s,   u"fName"_s,
                                      u"fSize"_s,      u"fBold"_s, u"fItalic"_s, u"fUnderline"_s,
                                      u"fStrikethru"_s};
    return names;
}

const QStringList& formatGridHeadings() {
    static const QStringList headings = {
        u"ID"_s,           u"序号"_s,     u"控件标识"_s, u"向右移动(毫米)"_s, u"向下移动(毫米)"_s,
        u"字间距(毫米)"_s, u"字体颜色"_s, u"字体"_s,     u"字号"_s,           u"黑体"_s,
        u"斜体"_s,         u"下划线"_s,   u"删除线"_s};
    return headings;
}

void ShowFormatGrid(BoundGrid& grid, Database& db, const QString& name, Document& cheque,
                    FormatDisplays& displays, GridTools tools) {
    SetUpGridColumns(grid, formatGridNames(), formatGridHeadings());
    grid.setTag(u"支票格式"_s);
    FillGrid(grid, db, u" 种类=? AND Name=? AND CtlDF<>''"_s, {cheque.kind().id.toString(), name},
             u"ID"_s, tools);
    const std::optional<PageSettings> page = LoadPageSettings(db, name, cheque, displays);
    const PageSettings shown = page.value_or(PageSettings{});
    displays.marginX = numberText(shown.x);
    displays.marginY = numberText(shown.y);
    displays.stubWidth = numberText(shown.s);
}

namespace {

constexpr int kColorColumn = 6;
constexpr int kNameColumn = 7;
constexpr int kSizeColumn = 8;
constexpr int kFlagColumns[] = {9, 10, 11, 12};  // bold, italic, underline, strikethrough
constexpr quint32 kUnsavedRed = 255;

QString flag(bool on) {
    return on ? u"√"_s : QString();
}

}  // namespace

void editFormatCell(BoundGrid& grid, int row, int col, const QString& typed) {
    grid.setText(row, col, numberText(numericValue(typed)));
    SetRowForeColor(grid, row, kUnsavedRed);
}

TextFont formatRowFont(const BoundGrid& grid, int row) {
    TextFont font;
    font.color = GetCellColor(grid, row, kColorColumn, false);
    if (!grid.text(row, kNameColumn).isEmpty())
        font.name = grid.text(row, kNameColumn);
    double size = 0;
    if (readsAsNumber(grid.text(row, kSizeColumn), &size) && size > 0)
        font.size = size;  // a size that is no number leaves the dialog's own
    bool* flags[] = {&font.bold, &font.italic, &font.underline, &font.strikethrough};
    for (int i = 0; i < 4; ++i)
        *flags[i] = !grid.text(row, kFlagColumns[i]).isEmpty();
    return font;
}

void setFormatRowFont(BoundGrid& grid, int row, const TextFont& font) {
    quint32 color = font.color;
    SetCellColor(grid, row, kColorColumn, color, false);
    grid.setText(row, kNameColumn, font.name);
    // As a single-precision number: seven significant digits.
    grid.setText(row, kSizeColumn, QString::number(font.size, 'g', 7));
    const bool flags[] = {font.bold, font.italic, font.underline, font.strikethrough};
    for (int i = 0; i < 4; ++i)
        grid.setText(row, kFlagColumns[i], flag(flags[i]));
    SetRowForeColor(grid, row, kUnsavedRed);
}
