#include "PayeesDialog.h"

#include <QPointer>
#include <QPushButton>
#include <QShortcut>

#include "DialogWait.h"
#include "PayeeForm.h"
#include "PayeeImport.h"
#include "Prompts.h"
#include "WindowFit.h"
#include "ui_PayeesDialog.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kColumnSpare = 16;  // pixels

const QStringList kHeadings = {u"全称"_s, u"打印名称"_s, u"账号"_s,  u"开户银行"_s,
                               u"用途"_s, u"备注"_s,     u"本单位"_s};

QStringList rowTexts(const Payee& payee) {
    return {payee.fullName,
            payee.printName,
            payee.account,
            payee.bank,
            payee.purpose,
            payee.notes,
            payee.own ? u"是"_s : QString()};
}

}  // namespace

PayeesDialog::PayeesDialog(Database& db, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Window),
      m_ui(std::make_unique<Ui::PayeesDialog>()),
      m_db(db),
      m_prompts(prompts) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    m_ui->payees->setColumnCount(int(kHeadings.size()));
    m_ui->payees->setHorizontalHeaderLabels(kHeadings);
    QPushButton* close = m_ui->buttons->button(QDialogButtonBox::Close);
    close->setText(u"关  闭"_s);
    close->setIcon(QIcon());
    close->setAccessibleName(u"关闭"_s);
    // Enter on a row changes its entry: no button may take the key first.
    close->setAutoDefault(false);
    connect(m_ui->search, &QLineEdit::textChanged, this, [this] { showPayees(); });
    connect(m_ui->payees, &QAbstractItemView::activated, this, &PayeesDialog::editEntry);
    connect(m_ui->add, &QPushButton::clicked, this, &PayeesDialog::addEntry);
    connect(m_ui->edit, &QPushButton::clicked, this, &PayeesDialog::editEntry);
    connect(m_ui->remove, &QPushButton::clicked, this, &PayeesDialog::removeEntry);
    connect(m_ui->importList, &QPushButton::clicked, this, &PayeesDialog::importList);
    connect(m_ui->importHistory, &QPushButton::clicked, this, &PayeesDialog::importHistory);
    auto* removeKey = new QShortcut(QKeySequence::Delete, m_ui->payees);
    removeKey->setContext(Qt::WidgetShortcut);
    connect(removeKey, &QShortcut::activated, this, &PayeesDialog::removeEntry);
    showPayees();
    fitOnScreen(*this);
}

PayeesDialog::~PayeesDialog() = default;

void PayeesDialog::showPayees(qint64 select) {
    QTableWidget* table = m_ui->payees;
    table->setRowCount(0);
    m_shown.clear();
    const std::optional<QList<Payee>> found = payees(m_db, m_ui->search->text().trimmed());
    if (!found)
        return;
    m_shown = *found;
    table->setRowCount(int(m_shown.size()));
    for (int r = 0; r < m_shown.size(); ++r) {
        const QStringList texts = rowTexts(m_shown[r]);
        for (int c = 0; c < texts.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(texts[c]));
        if (m_shown[r].id == select) {
            table->selectRow(r);
            table->scrollToItem(table->item(r, 0));
        }
    }
    // Every column as wide as its texts, with room to spare.
    table->resizeColumnsToContents();
    for (int c = 0; c < table->columnCount(); ++c)
        table->setColumnWidth(c, table->columnWidth(c) + kColumnSpare);
}

std::optional<Payee> PayeesDialog::selectedPayee() {
    const QList<QTableWidgetItem*> selected = m_ui->payees->selectedItems();
    const int row = selected.isEmpty() ? -1 : selected.first()->row();
    if (row < 0 || row >= m_shown.size()) {
        m_prompts.message(u"请先选中一个往来单位。"_s);
        return std::nullopt;
    }
    return m_shown[row];
}

qint64 PayeesDialog::openForm(const QString& title, const Payee& payee) {
    qint64 saved = 0;
    QPointer<PayeeForm> form = new PayeeForm(
        title, payee,
        [&](const Payee& entered, QString* why) {
            if (entered.id == 0) {
                const std::optional<qint64> id = ::addPayee(m_db, entered, why);
                saved = id.value_or(0);
                return id.has_value();
            }
            saved = entered.id;
            return ::editPayee(m_db, entered, why);
        },
        this);
    // The list stays as it is while its entry is in the form.
    form->setWindowModality(Qt::WindowModal);
    const bool accepted = showAndWait(*form) == QDialog::Accepted;
    delete form.data();
    return accepted ? saved : 0;
}

void PayeesDialog::addEntry() {
    const qint64 id = openForm(u"新增往来单位"_s, {});
    if (id == 0)
        return;
    showPayees(id);
    // A new entry the search would hide is shown with all the others.
    if (!m_ui->payees->selectedItems().isEmpty())
        return;
    const QSignalBlocker blocker(m_ui->search);
    m_ui->search->clear();
    showPayees(id);
}

void PayeesDialog::editEntry() {
    const std::optional<Payee> payee = selectedPayee();
    if (!payee)
        return;
    if (const qint64 id = openForm(u"修改往来单位"_s, *payee); id != 0)
        showPayees(id);
}

void PayeesDialog::removeEntry() {
    const std::optional<Payee> payee = selectedPayee();
    if (!payee)
        return;
    if (m_prompts.message(
            u"确定删除往来单位“%1”吗？删除后历史记录不受影响。"_s.arg(payee->fullName), {},
            PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    QString why;
    if (!::removePayee(m_db, payee->fullName, &why) && !why.isEmpty())
        m_prompts.message(why);
    showPayees();
}

void PayeesDialog::importList() {
    const QString path = m_prompts.openFile(FilePurpose::PaymentList, u"选择往来单位列表"_s,
                                            u"往来单位列表 (*.csv *.xlsx)|*.csv;*.xlsx"_s);
    if (path.isEmpty())
        return;
    QString why;
    const std::optional<PayeeImportCount> count = importPayeeList(m_db, path, &why);
    if (!count) {
        // The list is refused whole: every bad row is named, and the book is as it was.
        if (!why.isEmpty())
            m_prompts.message(u"未导入，往来单位没有改动：\n"_s + why);
        return;
    }
    showPayees();
    showCount(count->added, count->updated);
}

void PayeesDialog::importHistory() {
    const std::optional<PayeeImportCount> count = importHistoryPayees(m_db);
    if (!count)
        return;
    showPayees();
    showCount(count->added, count->updated);
}

void PayeesDialog::showCount(int added, int updated) {
    m_prompts.message(u"已新增 %1 个，更新 %2 个往来单位。"_s.arg(added).arg(updated));
}
