#include "SpoiledChequesDialog.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

#include "DialogWait.h"
#include "Document.h"
#include "Prompts.h"
#include "WindowFit.h"
#include "ui_SpoiledChequesDialog.h"

using namespace Qt::StringLiterals;

namespace {

enum Column { TickColumn, NumberColumn, PayeeColumn, AmountColumn, ReasonColumn };

QTableWidgetItem* shownItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

std::optional<QList<SpoiledCheque>> spoiledFromMarks(const QList<SpoiledMark>& marks,
                                                     const QString& common, int* missing) {
    QList<SpoiledCheque> spoiled;
    for (int place = 0; place < marks.size(); ++place) {
        if (!marks[place].ticked)
            continue;
        QString reason = marks[place].reason.trimmed();
        if (reason.isEmpty())
            reason = common.trimmed();
        if (reason.isEmpty()) {
            *missing = place;
            return std::nullopt;
        }
        spoiled << SpoiledCheque{place, reason};
    }
    return spoiled;
}

SpoiledChequesDialog::SpoiledChequesDialog(const QList<Document>& cheques,
                                           const QStringList& numbers, Prompts& prompts,
                                           QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::SpoiledChequesDialog>()),
      m_numbers(numbers),
      m_prompts(prompts) {
    m_ui->setupUi(this);
    QPushButton* ok = m_ui->buttons->button(QDialogButtonBox::Ok);
    ok->setText(u"确  定"_s);
    ok->setIcon(QIcon());
    ok->setAccessibleName(u"确定"_s);
    const QString range = numbers.isEmpty() || numbers.first() == numbers.last()
                              ? numbers.value(0)
                              : u"%1 至 %2"_s.arg(numbers.first(), numbers.last());
    m_ui->prompt->setText(
        u"号码 %1 的支票打印完毕，请检查打印结果：勾选作废的支票并填写作废原因；"
        u"全部正常请直接按“确定”。"_s.arg(range));

    QTableWidget* table = m_ui->cheques;
    table->setRowCount(int(cheques.size()));
    for (int r = 0; r < cheques.size(); ++r) {
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        table->setItem(r, TickColumn, tick);
        table->setItem(r, NumberColumn, shownItem(numbers.value(r)));
        table->setItem(r, PayeeColumn, shownItem(cheques[r].text(Field::Payee)));
        table->setItem(r, AmountColumn, shownItem(cheques[r].text(Field::Amount)));
        auto* reason = new QTableWidgetItem;
        reason->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        table->setItem(r, ReasonColumn, reason);
    }
    table->resizeColumnsToContents();
    table->setColumnWidth(ReasonColumn, qMax(table->columnWidth(ReasonColumn), 160));
    connect(table, &QTableWidget::cellChanged, this, &SpoiledChequesDialog::rowChanged);
    connect(m_ui->applyReason, &QPushButton::clicked, this,
            &SpoiledChequesDialog::applyCommonReason);
    fitOnScreen(*this);
}

// A reason being typed is written into its row as the editor goes: not into this dialog any
// more once it is being destroyed.
SpoiledChequesDialog::~SpoiledChequesDialog() {
    disconnect(m_ui->cheques, nullptr, this, nullptr);
}

std::optional<QList<SpoiledCheque>> SpoiledChequesDialog::askSpoiled(const QList<Document>& cheques,
                                                                     const QStringList& numbers,
                                                                     Prompts& prompts,
                                                                     QWidget* parent) {
    QPointer<SpoiledChequesDialog> dialog =
        new SpoiledChequesDialog(cheques, numbers, prompts, parent);
    const bool answered = showAndWait(*dialog) == QDialog::Accepted;
    std::optional<QList<SpoiledCheque>> spoiled;
    if (answered && dialog)
        spoiled = dialog->spoiled();
    delete dialog.data();
    return spoiled;
}

QTableWidget* SpoiledChequesDialog::table() const {
    return m_ui->cheques;
}

QLineEdit* SpoiledChequesDialog::commonReason() const {
    return m_ui->commonReason;
}

void SpoiledChequesDialog::applyCommonReason() {
    const QString common = m_ui->commonReason->text().trimmed();
    if (common.isEmpty())
        return;
    QTableWidget* table = m_ui->cheques;
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, TickColumn)->checkState() == Qt::Checked &&
            table->item(r, ReasonColumn)->text().trimmed().isEmpty())
            table->item(r, ReasonColumn)->setText(common);
}

// Only OK answers: a cheque left unsettled would keep its number 打印中.
void SpoiledChequesDialog::accept() {
    QTableWidget* table = m_ui->cheques;
    // A reason still being typed counts: moving off its cell writes it into the row.
    const QModelIndex current = table->currentIndex();
    table->setCurrentIndex({});
    table->setCurrentIndex(current);
    int missing = -1;
    const std::optional<QList<SpoiledCheque>> spoiled =
        spoiledFromMarks(marks(), m_ui->commonReason->text(), &missing);
    if (!spoiled) {
        m_prompts.message(u"号码 %1 已勾选作废，请填写作废原因。"_s.arg(m_numbers.value(missing)),
                          {}, PromptButtons::Ok);
        table->setCurrentIndex({});
        table->setCurrentCell(missing, ReasonColumn);  // its editor opens
        return;
    }
    m_spoiled = *spoiled;
    QDialog::accept();
}

void SpoiledChequesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    activateWindow();
    m_ui->cheques->setFocus();
    m_ui->cheques->setCurrentCell(0, TickColumn);
}

QList<SpoiledMark> SpoiledChequesDialog::marks() const {
    QList<SpoiledMark> marks;
    const QTableWidget* table = m_ui->cheques;
    for (int r = 0; r < table->rowCount(); ++r)
        marks << SpoiledMark{table->item(r, TickColumn)->checkState() == Qt::Checked,
                             table->item(r, ReasonColumn)->text()};
    return marks;
}

// A reason typed on a row marks its cheque spoiled.
void SpoiledChequesDialog::rowChanged(int row, int column) {
    QTableWidget* table = m_ui->cheques;
    if (column == ReasonColumn && !table->item(row, ReasonColumn)->text().trimmed().isEmpty())
        table->item(row, TickColumn)->setCheckState(Qt::Checked);
}
