#include "FormatGrid.h"

#include "BoundGrid.h"
#include "FormatStore.h"
#include "NumberText.h"

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

void ShowFormatGrid(BoundGrid& grid, Database& db, const QString& name, Cheque& cheque,
                    FormatDisplays& displays, GridTools tools) {
    SetUpGridColumns(grid, formatGridNames(), formatGridHeadings());
    grid.setTag(u"支票格式"_s);
    FillGrid(grid, db, u" Name=? AND CtlDF<>''"_s, {name}, u"ID"_s, tools);
    const std::optional<PageSettings> page = LoadPageSettings(db, name, cheque, displays);
    const PageSettings shown = page.value_or(PageSettings{});
    displays.marginX = numberText(shown.x);
    displays.marginY = numberText(shown.y);
    displays.stubWidth = numberText(shown.s);
}
