#include "ChequeBooksDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "Clock.h"
#include "DocumentKind.h"
#include "Prompts.h"
#include "RegisterGrid.h"
#include "WindowFit.h"
#include "ui_ChequeBooksDialog.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumnSpare = 16;  // pixels

}  // namespace

ChequeBooksDialog::ChequeBooksDialog(Database& db, Prompts& prompts, const QString& account,
                                     const Clock& clock, const DocumentKind& kind, QWidget* parent)
    : QDialog(parent, Qt::Window),
      m_ui(std::make_unique<Ui::ChequeBooksDialog>()),
      m_db(db),
      m_prompts(prompts),
      m_clock(clock),
      m_kind(kind.id.toString()) {
    m_ui->setupUi(this);
    setWindowTitle(windowTitle() + u"（"_s + m_kind + u"）"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    const QStringList headings = bookListHeadings();
    m_ui->books->setColumnCount(int(headings.size()));
    m_ui->books->setHorizontalHeaderLabels(headings);
    // A serial is up to eight digits; the book keeps it as eight.
    auto* serial =
        new QRegularExpressionValidator(QRegularExpression(u"[0-9]{0,8}"_s), m_ui->first);
    m_ui->first->setValidator(serial);
    m_ui->last->setValidator(serial);
    m_ui->account->setText(account.trimmed());
    m_ui->received->setDate(clock.today());
    QPushButton* close = m_ui->buttons->button(QDialogButtonBox::Close);
    close->setText(u"关  闭"_s);
    close->setIcon(QIcon());
    close->setAccessibleName(u"关闭"_s);
    // Enter in the new book's fields registers it rather than closing the window.
    close->setAutoDefault(false);
    m_ui->add->setDefault(true);
    connect(m_ui->add, &QPushButton::clicked, this, &ChequeBooksDialog::addBook);
    connect(m_ui->closeBook, &QPushButton::clicked, this, &ChequeBooksDialog::closeBook);
    showBooks();
    fitOnScreen(*this);
}

ChequeBooksDialog::~ChequeBooksDialog() = default;

void ChequeBooksDialog::showBooks(qint64 select) {
    QTableWidget* table = m_ui->books;
    table->setRowCount(0);
    m_books.clear();
    const std::optional<QList<BookRegister>> registers = chequeRegister(m_db, {}, m_kind);
    if (!registers)
        return;
    table->setRowCount(int(registers->size()));
    for (int r = 0; r < registers->size(); ++r) {
        const BookRegister& bookRegister = registers->at(r);
        m_books << bookRegister.book;
        const QStringList texts = bookListRow(bookRegister);
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            // The serials and the counts line up on the right.
            if (c >= 2 && c != 4 && c != 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
        if (bookRegister.book.id == select)
            table->selectRow(r);
    }
    // Every column as wide as its texts, with room to spare.
    table->resizeColumnsToContents();
    for (int c = 0; c < table->columnCount(); ++c)
        table->setColumnWidth(c, table->columnWidth(c) + kColumnSpare);
}

void ChequeBooksDialog::addBook() {
    if (m_ui->first->text().isEmpty() || m_ui->last->text().isEmpty()) {
        m_prompts.message(u"请填写起始号码和终止号码。"_s);
        return;
    }
    ChequeBook book;
    book.account = m_ui->account->text().trimmed();
    book.prefix = m_ui->prefix->text().trimmed();
    book.first = m_ui->first->text().toLongLong();
    book.last = m_ui->last->text().toLongLong();
    book.received = m_ui->received->date();
    book.kind = m_kind;
    QString why;
    const std::optional<qint64> id = addChequeBook(m_db, book, m_clock.today(), &why);
    if (!id) {
        if (!why.isEmpty())
            m_prompts.message(why);
        return;
    }
    // The next book of the account follows on: its account and prefix stay.
    m_ui->first->clear();
    m_ui->last->clear();
    showBooks(*id);
}

void ChequeBooksDialog::closeBook() {
    const int row = m_ui->books->currentRow();
    if (row < 0 || row >= m_books.size()) {
        m_prompts.message(u"请先选中一本支票簿。"_s);
        return;
    }
    const ChequeBook book = m_books[row];
    if (m_prompts.message(u"结束这本支票簿后，其余号码不再使用，是否继续？"_s, {},
                          PromptButtons::YesNoDefaultNo) != PromptAnswer::Yes)
        return;
    QString why;
    if (!closeChequeBook(m_db, book.account, book.first, &why, m_kind)) {
        if (!why.isEmpty())
            m_prompts.message(why);
        return;
    }
    showBooks(book.id);
}
