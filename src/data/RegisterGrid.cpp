#include "RegisterGrid.h"

#include <algorithm>
#include <vector>

#include "BoundGrid.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

// A book's heading and totals rows are filled pale blue (red in the lowest byte), so the books
// stand apart; a gap, which someone must explain, is written in red.
constexpr quint32 kBookRowFill = 0xF8EBDC;
constexpr quint32 kGapColor = 0x0000C0;

const QStringList& registerHeadings() {
    static const QStringList headings{u"ID"_s,       u"账号"_s,    u"号码"_s, u"状态"_s,
                                      u"日期"_s,     u"收款人"_s,  u"金额"_s, u"重打次数"_s,
                                      u"作废原因"_s, u"替代号码"_s};
    return headings;
}

const QString kGap = u"缺号"_s;
const QString kTotals = u"合计"_s;

}  // namespace

QString bookStateText(const ChequeBook& book) {
    return book.closed ? u"已结束"_s : u"未结束"_s;
}

QString serialRangeText(const ChequeBook& book, qint64 first, qint64 last) {
    const QString from = book.prefix + serialText(first);
    return first == last ? from : from + u'-' + book.prefix + serialText(last);
}

QString registerLineDate(const RegisterLine& line) {
    if (line.state == kNumberPrinted)
        return line.issueDate;
    if (line.state == kNumberVoided)
        return line.voidedAt;
    if (line.state == kNumberPrinting)
        return line.time;
    return {};
}

QString registerTotals(const BookRegister& bookRegister) {
    QStringList totals;
    for (const QString& state : {kNumberPrinted, kNumberVoided, kNumberUnused})
        totals << state + u' ' + QString::number(bookRegister.count(state));
    if (const int printing = bookRegister.count(kNumberPrinting); printing > 0)
        totals << kNumberPrinting + u' ' + QString::number(printing);
    return totals.join(u"、"_s);
}

QStringList bookListHeadings() {
    return {u"账号"_s, u"前缀"_s,   u"起始号码"_s, u"终止号码"_s, u"领用日期"_s,
            u"状态"_s, u"已打印"_s, u"已作废"_s,   u"未使用"_s};
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
            QString::number(bookRegister.count(kNumberUnused))};
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
        for (const RegisterLine& n : bookRegister.lines) {
            const bool unused = n.state == kNumberUnused;
            addRow({QString::number(n.serial), book.account,
                    serialRangeText(book, n.serial, n.serial), n.state, registerLineDate(n),
                    n.payee, n.amount, unused ? QString() : QString::number(n.reprints), n.reason,
                    n.replaces});
        }
        for (const auto& [first, last] : bookRegister.gaps)
            fillRow(addRow({QString(), book.account, serialRangeText(book, first, last), kGap}),
                    kGapColor, true);
        fillRow(addRow({QString(), book.account, kTotals, registerTotals(bookRegister)}),
                kBookRowFill, false);
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
    return RegisterNumber{grid.text(row, kRegisterAccountCol), grid.text(row, 0).toLongLong()};
}

bool isRegisterTotalsRow(const BoundGrid& grid, int row) {
    return row >= grid.fixedRows() && row < grid.rows() && grid.text(row, 0).isEmpty() &&
           grid.text(row, kRegisterNumberCol) == kTotals;
}
