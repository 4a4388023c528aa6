#include "XlsxPaymentList.h"

#include <cmath>
#include <memory>

#include <QDate>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "ZipArchive.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxColumns = 16384;  // A to XFD
constexpr int kMaxRows = 1048576;

QString damaged(const QString& what) {
    return u"Excel工作簿已损坏：%1"_s.arg(what);
}

// Characters that XML cannot hold stand as _xHHHH_ in a workbook's texts (a carriage return
// as _x000D_, an underscore that starts such a sequence as _x005F_, so "_x005F_x0041_" is the
// text "_x0041_"). A spreadsheet reads them from left to right, a lower-case x only.
QString unescaped(const QString& text) {
    static const QRegularExpression escape(u"_x([0-9A-Fa-f]{4})_"_s);
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : escape.globalMatch(text)) {
        result.append(QStringView(text).sliced(done, match.capturedStart() - done));
        result.append(QChar(match.capturedView(1).toUShort(nullptr, 16)));
        done = match.capturedEnd();
    }
    return result.append(QStringView(text).sliced(done));
}

// The text of a string item (<si> or <is>, read on from its start): its own text or its
// runs', without the phonetic guides (<rPh>) that East Asian workbooks may carry. Each text
// (<t>) is unescaped on its own: a sequence split between two runs is no escape.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    int openRuns = 0;
    for (;;) {
        if (xml.readNextStartElement()) {
            if (xml.name() == u"t")
                text += unescaped(xml.readElementText());
            else if (xml.name() == u"r")
                ++openRuns;
            else
                xml.skipCurrentElement();
        } else if (openRuns > 0 && xml.isEndElement()) {
            --openRuns;
        } else {
            return text;
        }
    }
}

// A number as a cell in the general format shows it: integers without a decimal point, others
// to fifteen significant digits, as the spreadsheet itself shows them (a formula's
// 112.99999999999999 is 113), amounts never in exponent form.
QString cellNumberText(double value) {
    if (value == std::trunc(value) && std::abs(value) < 1e18)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

// A date cell's day, its time of day dropped. Day 1 is 1900-01-01 and day 60 the 1900-02-29
// that Excel counts though it never was, so later days are one off; workbooks from old Macs
// count from 1904-01-01 as day 0.
QString dateText(double serial, bool from1904) {
    if (!(serial >= 0 && serial < 2958466))  // no day from 1900 to 9999
        return cellNumberText(serial);
    const auto days = qint64(serial);
    const QDate start = from1904 ? QDate(1904, 1, 1) : QDate(1899, 12, days < 61 ? 31 : 30);
    return start.addDays(days).toString(Qt::ISODate);
}

// Whether a number format shows a date: it has a year, a month or a day once its quoted texts,
// escaped characters and [..] sections (colours, locales, conditions; not elapsed times such as
// [h]) are taken out. An m among hours or seconds is minutes.
bool isDateFormat(const QString& code) {
    static const QRegularExpression literals(
        u"\"[^\"]*\"|\\[(?![hmsHMS]+\\])[^\\]]*\\]|[\\\\_*]."_s);
    const QString parts = QString(code).remove(literals).toLower();
    return parts.contains(u'y') || parts.contains(u'd') ||
           (parts.contains(u'm') && !parts.contains(u'h') && !parts.contains(u's'));
}

// The built-in formats that show dates: 14 to 17 and 22 everywhere, and the Chinese (East
// Asian) ones with a year, month or day. 18 to 21, 32 to 35, 45 to 47, 55 and 56 show times.
bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || id == 36 ||
           (id >= 50 && id <= 54) || id == 57 || id == 58;
}

// The code of a built-in number format that shows numbers; the general format for the others.
QString builtInNumberFormat(int id) {
    switch (id) {
        case 1:
            return u"0"_s;
        case 2:
            return u"0.00"_s;
        case 3:
        case 5:
        case 6:
        case 37:
        case 38:
        case 41:
        case 42:
            return u"#,##0"_s;
        case 4:
        case 7:
        case 8:
        case 39:
        case 40:
        case 43:
        case 44:
            return u"#,##0.00"_s;
        case 9:
            return u"0%"_s;
        case 10:
            return u"0.00%"_s;
        case 11:
            return u"0.00E+00"_s;
        case 12:
        case 13:
            return u"# ?/?"_s;  // fractions
        case 48:
            return u"##0.0E+0"_s;
        default:
            return u"General"_s;  // 0, 49 (text) and those that show times
    }
}

// How many decimals a number format shows, read from its first section: the digit places
// (0, # or ?) after its point, two more for a percentage; the general format and text show
// what a value needs (-1). A format that shows an exponent, a fraction or a time shows no
// decimals the way a plain number does: it counts as showing none.
int shownDecimals(const QString& code) {
    static const QRegularExpression literals(u"\"[^\"]*\"|\\[[^\\]]*\\]|[\\\\_*]."_s);
    QString section = QString(code).remove(literals);
    section = section.left(section.indexOf(u';')).toLower();
    if (section.trimmed().isEmpty() || section.contains(u"general"_s) || section == u"@")
        return -1;
    if (section.contains(u'e') || section.contains(u'/') || section.contains(u'h') ||
        section.contains(u's') || section.contains(u':'))
        return 0;
    int decimals = 0;
    const qsizetype point = section.indexOf(u'.');
    for (qsizetype i = point + 1; point >= 0 && i < section.size(); ++i) {
        if (section[i] != u'0' && section[i] != u'#' && section[i] != u'?')
            break;
        ++decimals;
    }
    return section.contains(u'%') ? decimals + 2 : decimals;
}

struct CellPosition {
    int column;  // 0-based
    int row;     // 1-based
};

// The cell a reference such as "C57" names; nothing when it names none.
std::optional<CellPosition> parseReference(QStringView ref) {
    qsizetype i = 0;
    int column = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && column <= kMaxColumns; ++i)
        column = column * 26 + (ref[i].unicode() - u'A' + 1);
    const qsizetype letters = i;
    int row = 0;
    for (; i < ref.size() && ref[i] >= u'0' && ref[i] <= u'9' && row <= kMaxRows; ++i)
        row = row * 10 + (ref[i].unicode() - u'0');
    if (letters == 0 || i != ref.size() || column > kMaxColumns || row < 1 || row > kMaxRows)
        return std::nullopt;
    return CellPosition{column - 1, row};
}

QString referenceName(int column, int row) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(char16_t(u'A' + (n - 1) % 26)));
    return letters + QString::number(row);
}

// Rows lower than this many points and columns narrower than this many characters show no
// text that anyone could read.
constexpr double kLowestVisibleRow = 3;
constexpr double kNarrowestVisibleColumn = 1;

bool isTrue(QStringView value) {
    return value == u"1" || value == u"true";
}

// Whether a row element hides its row: hidden, too low to see, or, in a sheet whose rows are
// hidden unless given a height (`rowsHiddenByDefault`), without one. Such a row is kept to be
// reported, never to print.
bool hidesRow(const QXmlStreamAttributes& attributes, bool rowsHiddenByDefault) {
    bool numeric = false;
    const double height = attributes.value("ht"_L1).toDouble(&numeric);
    return isTrue(attributes.value("hidden"_L1)) || (numeric && height < kLowestVisibleRow) ||
           (rowsHiddenByDefault && !numeric);
}

// Whether a <col> element hides its columns: hidden, or too narrow to see.
bool hidesColumns(const QXmlStreamAttributes& attributes) {
    bool numeric = false;
    const double width = attributes.value("width"_L1).toDouble(&numeric);
    return isTrue(attributes.value("hidden"_L1)) || (numeric && width < kNarrowestVisibleColumn);
}

// Whether a number format shows nothing at all (";;;"): every section empty.
bool showsNothing(const QString& code) {
    return code.contains(u';') && QString(code).remove(u';').trimmed().isEmpty();
}

// Reads the first visible sheet from a workbook's parts as a payment list, noting the hidden
// sheets before it and the hidden rows, stopping at the first damage or at the first limit the
// list passes.
class WorkbookReader {
public:
    WorkbookReader(const ZipArchive& archive, const DocumentKind& kind)
        : archive_(archive), list_(kind) {}

    std::optional<PaymentList> readList(QString* error) {
        const bool read = readWorkbook() && readRelationships() &&
                          (sharedStringsPart_.isEmpty() || readSharedStrings()) &&
                          (stylesPart_.isEmpty() || readStyles()) && readSheet();
        if (!read) {
            *error = problem_;
            return std::nullopt;
        }
        std::optional<PaymentList> list = list_.finish(error);
        if (list)
            list->hiddenSheets = hiddenSheets_;
        return list;
    }

private:
    // Calls `visit` at the start of each element of a part; `visit` may read the element on,
    // and stops by returning false after it has set the problem.
    template <typename Visit>
    bool scanPart(const QString& name, Visit visit) {
        const std::unique_ptr<ZipPart> part = archive_.part(name);
        if (!part) {
            problem_ = damaged(name);
            return false;
        }
        QXmlStreamReader xml(part.get());
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && !visit(xml))
                return false;
        if (xml.hasError() || part->failed())
            problem_ = damaged(name);
        return !xml.hasError() && !part->failed();
    }

    bool readWorkbook() {
        const QString part = u"xl/workbook.xml"_s;
        const bool read = scanPart(part, [&](QXmlStreamReader& xml) {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.name() == u"workbookPr") {
                const QStringView system = attributes.value("date1904"_L1);
                from1904_ = system == u"1" || system == u"true";
            }
            if (xml.name() != u"sheet" || !sheetId_.isEmpty())
                return true;
            // A hidden sheet is one a reviewer does not see: the list is the first visible one.
            const QStringView state = attributes.value("state"_L1);
            if (state == u"hidden" || state == u"veryHidden") {
                hiddenSheets_ << attributes.value("name"_L1).toString();
                return true;
            }
            // The relationship's id is r:id, the only attribute named id.
            for (const QXmlStreamAttribute& a : attributes)
                if (a.name() == u"id")
                    sheetId_ = a.value().toString();
            return intact(!sheetId_.isEmpty(), part);
        });
        if (read && sheetId_.isEmpty() && !hiddenSheets_.isEmpty()) {
            problem_ = u"Excel工作簿没有可见的工作表"_s;
            return false;
        }
        return read && intact(!sheetId_.isEmpty(), part);
    }

    bool readRelationships() {
        const QString part = u"xl/_rels/workbook.xml.rels"_s;
        const bool read = scanPart(part, [&](QXmlStreamReader& xml) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString target = attributes.value("Target"_L1).toString();
            // Targets are relative to xl/, or absolute in the archive.
            const QString name =
                QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : u"xl/"_s + target);
            const QStringView type = attributes.value("Type"_L1);
            if (attributes.value("Id"_L1) == sheetId_)
                sheetPart_ = name;
            else if (type.endsWith(u"/sharedStrings"))
                sharedStringsPart_ = name;
            else if (type.endsWith(u"/styles"))
                stylesPart_ = name;
            return true;
        });
        return read && intact(!sheetPart_.isEmpty(), part);
    }

    bool readSharedStrings() {
        return scanPart(sharedStringsPart_, [&](QXmlStreamReader& xml) {
            if (xml.name() == u"si") {
                sharedStrings_ += readStringItem(xml);
                sharedEnds_ << sharedStrings_.size();
            }
            return true;
        });
    }

    bool readStyles() {
        QHash<int, QString> customFormats;
        QList<int> cellFormats;
        const bool read = scanPart(stylesPart_, [&](QXmlStreamReader& xml) {
            // Only the cell formats' <xf> are the ones the cells' s attribute counts.
            if (xml.name() == u"cellStyleXfs" || xml.name() == u"dxfs" || xml.name() == u"extLst")
                xml.skipCurrentElement();
            else if (xml.name() == u"numFmt")
                customFormats.insert(xml.attributes().value("numFmtId"_L1).toInt(),
                                     xml.attributes().value("formatCode"_L1).toString());
            else if (xml.name() == u"xf")
                cellFormats << xml.attributes().value("numFmtId"_L1).toInt();
            return true;
        });
        for (int id : cellFormats) {
            const bool custom = customFormats.contains(id);
            dateStyles_ << (custom ? isDateFormat(customFormats[id]) : isBuiltInDateFormat(id));
            styleDecimals_ << shownDecimals(custom ? customFormats[id] : builtInNumberFormat(id));
            blankStyles_ << (custom && showsNothing(customFormats[id]));
        }
        return read;
    }

    // Reads the sheet into the list, which keeps only the cells under its headings. Rows without
    // numbers count on from the row before; rows out of order (which a spreadsheet calls damage)
    // and more row elements than a sheet can have are damage.
    bool readSheet() {
        bool rowNumbered = false;  // a row without its number takes its first cell's
        int line = 0;              // the current row's; none before the first row
        int previous = 0;          // the row's before it
        int rowElements = 0;
        int column = -1;
        bool rowsHiddenByDefault = false;
        const bool read = scanPart(sheetPart_, [&](QXmlStreamReader& xml) {
            const QXmlStreamAttributes attributes = xml.attributes();
            // What the sheet hides comes before its rows.
            if (xml.name() == u"sheetFormatPr")
                rowsHiddenByDefault = isTrue(attributes.value("zeroHeight"_L1));
            if (xml.name() == u"col" && hidesColumns(attributes))
                list_.hideColumns(attributes.value("min"_L1).toInt() - 1,
                                  attributes.value("max"_L1).toInt() - 1);
            if (xml.name() == u"row") {
                if (line > 0 && !list_.endRecord(&problem_))
                    return false;
                bool ok = true;
                const QStringView number = attributes.value("r"_L1);
                rowNumbered = !number.isEmpty();
                previous = line;
                line = rowNumbered ? number.toInt(&ok) : line + 1;
                list_.startRecord(line, hidesRow(attributes, rowsHiddenByDefault));
                column = -1;
                return intact(
                    ok && line > previous && line <= kMaxRows && ++rowElements <= kMaxRows,
                    sheetPart_);
            }
            if (xml.name() != u"c")
                return true;
            const QStringView ref = attributes.value("r"_L1);
            const std::optional<CellPosition> position = parseReference(ref);
            if (!intact(line > 0, sheetPart_) ||
                !intact(ref.isEmpty() || position, u"单元格"_s + ref.left(20).toString()))
                return false;
            column = position ? position->column : column + 1;
            if (position && !rowNumbered) {
                line = position->row;
                list_.setLine(line);
                if (!intact(line > previous, sheetPart_))
                    return false;
            }
            rowNumbered = true;
            QString shown;
            const std::optional<QString> text = readCell(xml, attributes, &shown);
            if (!intact(column < kMaxColumns && text, u"单元格"_s + referenceName(column, line)))
                return false;
            const int style = attributes.value("s"_L1).toInt();
            if (style >= 0 && style < blankStyles_.size() && blankStyles_[style] &&
                !text->isEmpty())
                shown = u"单元格的格式使内容不显示"_s;
            list_.setCell(column, *text, shown);
            return true;
        });
        return read && (line == 0 || list_.endRecord(&problem_));
    }

    // A cell's text as the sheet shows it, read on from the cell's start; nothing when it
    // names a shared string that is not there. A number whose format shows fewer decimals than
    // it has gets that as its `problem`.
    std::optional<QString> readCell(QXmlStreamReader& xml, const QXmlStreamAttributes& attributes,
                                    QString* problem) {
        QString value;
        QString inlineText;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"v")
                value = xml.readElementText();
            else if (xml.name() == u"is")
                inlineText = readStringItem(xml);
            else
                xml.skipCurrentElement();
        }
        const QStringView type = attributes.value("t"_L1);
        if (type == u"s") {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (!ok || index < 0 || index >= sharedEnds_.size())
                return std::nullopt;
            const qsizetype start = index > 0 ? sharedEnds_[index - 1] : 0;
            return sharedStrings_.sliced(start, sharedEnds_[index] - start);
        }
        if (type == u"inlineStr")
            return inlineText;
        if (type == u"b")
            return value.trimmed() == u"1" ? u"TRUE"_s : u"FALSE"_s;
        if (type == u"d")  // an ISO 8601 date and maybe time: the day
            return value.left(10);
        if (!type.isEmpty() && type != u"n")  // a formula's text, an error such as #N/A
            return unescaped(value);
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            return value;
        const int style = attributes.value("s"_L1).toInt();
        if (style >= 0 && style < dateStyles_.size() && dateStyles_[style])
            return dateText(number, from1904_);
        const QString text = cellNumberText(number);
        const int shown = style >= 0 && style < styleDecimals_.size() ? styleDecimals_[style] : -1;
        const qsizetype point = text.indexOf(u'.');
        const qsizetype decimals = text.contains(u'e') ? text.size()
                                   : point < 0         ? 0
                                                       : text.size() - point - 1;
        if (shown >= 0 && decimals > shown)
            *problem = u"单元格只显示%1位小数"_s.arg(shown);
        return text;
    }

    // True when `ok`; otherwise notes that `what` is damaged.
    bool intact(bool ok, const QString& what) {
        if (!ok)
            problem_ = damaged(what);
        return ok;
    }

    const ZipArchive& archive_;
    QString problem_;
    QString sheetId_, sheetPart_, sharedStringsPart_, stylesPart_;
    QStringList hiddenSheets_;  // before the one read
    bool from1904_ = false;
    QString sharedStrings_;        // one after the other: a string each costs no more than its text
    QList<qsizetype> sharedEnds_;  // where each shared string ends in them
    QList<bool> dateStyles_;       // per cell format, which the cells' s attribute counts
    QList<int> styleDecimals_;     // per cell format: the decimals it shows, -1 for any
    QList<bool> blankStyles_;      // per cell format: whether it shows nothing at all
    PaymentListBuilder list_;
};

}  // namespace

std::optional<PaymentList> readXlsxPaymentList(const QByteArray& bytes, QString* error,
                                               const DocumentKind& kind) {
    if (bytes.startsWith("\xD0\xCF\x11\xE0")) {
        *error = u"不支持旧版Excel（.xls）文件，请另存为.xlsx或CSV"_s;
        return std::nullopt;
    }
    const ZipArchive archive(bytes);
    if (!archive.hasParts()) {
        *error = u"不是有效的Excel工作簿（.xlsx）文件"_s;
        return std::nullopt;
    }
    // Which of two parts of one name a reader takes is left to chance: what prints might not be
    // what a reviewer saw.
    if (const QString repeated = archive.repeatedName(); !repeated.isEmpty()) {
        *error = damaged(repeated + u"重名"_s);
        return std::nullopt;
    }
    return WorkbookReader(archive, kind).readList(error);
}
