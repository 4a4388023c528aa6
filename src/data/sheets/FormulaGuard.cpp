#include "FormulaGuard.h"

namespace {

// Whether a spreadsheet may run the text as a formula: it trims the blanks before =, +, - or @
// and runs what follows, and a tab or a carriage return at the start is trimmed the same way.
bool runsAsFormula(QStringView text) {
    if (text.startsWith(u'\t') || text.startsWith(u'\r'))
        return true;
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i < text.size() && QStringView(u"=+-@").contains(text[i]);
}

}  // namespace

bool needsFormulaGuard(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    return runsAsFormula(text.sliced(i));
}

QString withoutFormulaGuard(const QString& value) {
    if (value.startsWith(u'\'') && needsFormulaGuard(QStringView(value).sliced(1)))
        return value.sliced(1);
    return value;
}
