#include "RegisterGrid.h"

#include <algorithm>
#include <vector>

#include "BoundGrid.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// A book's heading and totals rows are filled pale blue (red in the lowest byte), so the books
// stand apart. A number's row is written in the colour of its state: a printed one green, a
// voided one grey, one still printing orange, a gap, which someone must explain, red, and an
// unused one in the grid's own black.
constexpr quint32 kBookRowFill = 0xF8EBDC;
constexpr quint32 kPrintedColor = 0x007800;
constexpr quint32 kVoidedColor = 0x6E6E6E;
constexpr quint32 kPrintingColor = 0x0060B0;
constexpr quint32 kGapColor = 0x0000C0;

const QStringList& registerHeadings() {
    static const QStringList headings{u"ID"_s,       u"账号"_s,    u"号码"_s, u"状态"_s,
                                      u"日期"_s,     u"收款人"_s,  u"金额"_s, u"重打次数"_s,
                                      u"作废原因"_s, u"替代号码"_s};
    return headings;
}

const QString kTotals = u"合计"_s;
// Apart the items of the book at a glance and of a number's links.
const QString kWideSpace = u"\u3000"_s;

quint32 stateColor(const QString& state) {
    if (state == kNumberPrinted)
        return kPrintedColor;
    if (state == kNumberVoided)
        return kVoidedColor;
    if (state == kNumberPrinting)
        return kPrintingColor;
    return 0;
}

}  // namespace

QString bookStateText(const ChequeBook& book) {
    return book.closed ? u"已结束"_s : u"未结束"_s;
}

QString serialRangeText(const ChequeBook& book, qint64 first, qint64 last) {
    const QString from = book.prefix + serialText(first);
    return first == last ? from : from + u'-' + book.prefix + serialText(last);
}

QString registerStateText(const RegisterLine& line) {
    return line.state == kNumberPrinting && line.unsettled ? kNumberPrinting + u"（未确认）"_s
                                                           : line.state;
}

QString registerLineDate(const RegisterLine& line) {
    if (line.state == kNumberPrinted)
        return line.issueDate;
    if (line.state == kNumberVoided)
        return line.issueDate.isEmpty() ? line.voidedAt : line.issueDate;
    if (line.state == kNumberPrinting)
        return line.time;
    return {};
}

QString registerVoidText(const RegisterLine& line) {
    QStringList who;
    if (!line.voidedBy.isEmpty())
        who << line.voidedBy;
    if (line.state == kNumberVoided && !line.issueDate.isEmpty() && !line.voidedAt.isEmpty())
        who << line.voidedAt;
    return who.isEmpty() ? line.reason : line.reason + u"（"_s + who.join(u"，"_s) + u"）"_s;
}

QString registerLinkText(const RegisterLine& line) {
    QStringList links;
    if (!line.replaces.isEmpty())
        links << u"替代 "_s + line.replaces;
    if (!line.replacedBy.isEmpty())
        links << u"被替代 "_s + line.replacedBy;
    return links.join(kWideSpace);
}

QString registerTotals(const BookRegister& bookRegister) {
    QStringList totals;
    for (const QString& state : {kNumberPrinted, kNumberVoided, kNumberPrinting, kNumberUnused})
        totals << state + u' ' + QString::number(bookRegister.count(state));
    QStringList gaps;
    for (const auto& [first, last] : bookRegister.gaps)
        gaps << (first == last ? serialText(first) : serialText(first) + u'-' + serialText(last));
    if (!gaps.isEmpty())
        totals << kRegisterGap + u' ' + gaps.join(u"、"_s);
    return totals.join(kWideSpace);
}

QStringList bookListHeadings() {
    return {u"账号"_s,   u"前缀"_s,   u"起始号码"_s, u"终止号码"_s, u"领用日期"_s, u"状态"_s,
            u"已打印"_s, u"已作废"_s, u"打印中"_s,   u"未使用"_s,   u"种类"_s};
}

QStringList bookListRow(const BookRegister& bookRegister) {
    const ChequeBook& book = bookRegister.book;
    return {book.account,
            book.prefix,
            serialText(book.first),
            serialText(book.last),
            book.received.toString(Qt::ISODate),
            bookStateText(book),
            QString::number(bookRegister.count(kNumberPrinted)),
            QString::number(bookRegister.count(kNumberVoided)),
            QString::number(bookRegister.count(kNumberPrinting)),
            QString::number(bookRegister.count(kNumberUnused)),
            book.kind};
}

void buildRegisterGrid(BoundGrid& grid, const QList<BookRegister>& registers, GridTools tools) {
    QStringList names = registerHeadings();
    names[kRegisterAccountCol] = QString();  // the column of the serials in other grids
    SetUpGridColumns(grid, names, registerHeadings());
    grid.setTag(u"支票登记簿"_s);
    auto addRow = [&grid](const QStringList& texts) {
        const int r = grid.appendRow();
        for (int c = 0; c < texts.size() && c < grid.cols(); ++c)
            grid.setText(r, c, texts[c]);
        return r;
    };
    auto fillRow = [&grid](int row, quint32 color, bool foreground) {
        for (int c = kRegisterAccountCol; c < grid.cols(); ++c)
            (foreground ? grid.cell(row, c).foreColor : grid.cell(row, c).backColor) = color;
    };
    for (const BookRegister& bookRegister : registers) {
        const ChequeBook& book = bookRegister.book;
        fillRow(addRow({QString(), book.account, serialRangeText(book, book.first, book.last),
                        bookStateText(book), book.received.toString(Qt::ISODate)}),
                kBookRowFill, false);
        fillRow(addRow({QString(), QString(), kTotals, registerTotals(bookRegister)}), kBookRowFill,
                false);
        auto gap = bookRegister.gaps.cbegin();
        for (const RegisterLine& n : bookRegister.lines) {
            while (gap != bookRegister.gaps.cend() && gap->second < n.serial)
                ++gap;
            const bool unused = n.state == kNumberUnused;
            const bool inGap = unused && gap != bookRegister.gaps.cend() && gap->first <= n.serial;
            fillRow(addRow({QString::number(n.serial), QString(),
                            serialRangeText(book, n.serial, n.serial),
                            inGap ? kRegisterGap : registerStateText(n), registerLineDate(n),
                            n.payee, n.amount, unused ? QString() : QString::number(n.reprints),
                            registerVoidText(n), registerLinkText(n)}),
                    inGap ? kGapColor : stateColor(n.state), true);
        }
    }
    // The widths fit every text but the totals, which run across the columns after 号码.
    std::vector<double> widest(size_t(grid.cols()), -1.0);
    for (int c = kRegisterAccountCol; c < grid.cols(); ++c) {
        double w = tools.measure.widthTwips(grid.text(grid.fixedRows() - 1, c));
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            if (!(c == kRegisterStateCol && isRegisterTotalsRow(grid, r)))
                w = std::max(w, tools.measure.widthTwips(grid.text(r, c)));
        widest[size_t(c)] = w;
    }
    const std::vector<int> widths = fittedColumnWidths(widest, grid.width());
    for (int c = 0; c < grid.cols(); ++c)
        grid.setColWidth(c, widths[size_t(c)]);
    grid.setCurrentCell(0, kRegisterNumberCol);  // nothing selected
}

std::optional<RegisterNumber> registerGridNumber(const BoundGrid& grid, int row) {
    if (row < grid.fixedRows() || row >= grid.rows() || grid.text(row, 0).isEmpty())
        return std::nullopt;
    // The account stands once, in the book's heading row above.
    int heading = row;
    while (heading > grid.fixedRows() && grid.text(heading, kRegisterAccountCol).isEmpty())
        --heading;
    return RegisterNumber{grid.text(heading, kRegisterAccountCol), grid.text(row, 0).toLongLong(),
                          grid.text(row, kRegisterNumberCol)};
}

bool isRegisterTotalsRow(const BoundGrid& grid, int row) {
    return row >= grid.fixedRows() && row < grid.rows() && grid.text(row, 0).isEmpty() &&
           grid.text(row, kRegisterNumberCol) == kTotals;
}
