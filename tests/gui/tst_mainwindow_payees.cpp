// The book of counterparties from the window: its entries added, refused, found, changed,
// removed and imported in 文件 → 往来单位…, and the payee's pick list that offers them first.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "MainWindowFixture.h"
#include "PayeeForm.h"
#include "PayeesDialog.h"

using namespace Qt::StringLiterals;

namespace {

// The book's entries not removed as the window lists them: by full name, 本单位 as 是 or empty.
const QString kListed =
    u"SELECT 全称, 打印名称, 账号, 开户银行, 用途, 备注, "
    u"CASE WHEN 本单位<>0 THEN '是' ELSE '' END FROM 往来单位 WHERE 已删除=0 ORDER BY 全称"_s;

// Fills the open form's fields that `values` names (a check box by "1" or "0") and presses 确定.
void fillAndSave(QWidget* form, const QList<std::pair<QString, QString>>& values) {
    for (const auto& [name, value] : values)
        if (auto* check = form->findChild<QCheckBox*>(name))
            check->setChecked(value == u"1"_s);
        else
            child<QLineEdit>(form, name)->setText(value);
    QTest::mouseClick(child<QPushButton>(form, u"COM0"_s), Qt::LeftButton);
}

}  // namespace

class TestMainWindowPayees : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SKIP_WITHOUT_TEST_SERVER();
        installChineseFontSubstitutes();
    }

    // The window's list follows the book through each step: an entry added, one refused in its
    // form (which keeps what was typed) and then saved, a search, an entry changed from its
    // row, one removed (kept, marked), a list imported (a bad one changes nothing) and the
    // history's payees taken; then the payee's pick list offers the book, the most used first.
    void theBookOfCounterparties() {
        Fixture f;
        const QString cheque = transferCheque().id.toString();
        for (const QString& payee : {u"戊公司"_s, u"戊公司"_s, u"甲公司"_s, u"乙公司"_s})
            QVERIFY(f.t.db.execute(
                u"INSERT INTO 历史记录 (Dat, 收款人全称, 种类) VALUES ('2026-12-01', ?, ?)"_s,
                {payee, cheque}));
        QVERIFY(
            f.t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称, 种类) VALUES "
                           u"('2026-12-01', '庚公司', ?)"_s,
                           {depositSlip().id.toString()}));
        f.window->findChild<QAction*>(u"mPayees"_s)->trigger();
        auto* dialog = f.window->findChild<PayeesDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), u"往来单位"_s);
        // Every control is reached by the keyboard, and every one the keyboard reaches is
        // named for a screen reader.
        for (const QString& name : {u"search"_s, u"payees"_s, u"add"_s, u"edit"_s, u"remove"_s,
                                    u"importList"_s, u"importHistory"_s})
            QVERIFY2(child<QWidget>(dialog, name)->focusPolicy() & Qt::TabFocus, qPrintable(name));
        for (QWidget* control : dialog->findChildren<QWidget*>())
            if (control->focusPolicy() & Qt::TabFocus)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        auto* table = child<QTableWidget>(dialog, u"payees"_s);
        auto* search = child<QLineEdit>(dialog, u"search"_s);
        QStringList headings;
        for (int c = 0; c < table->columnCount(); ++c)
            headings << table->horizontalHeaderItem(c)->text();
        QCOMPARE(headings, (QStringList{u"全称"_s, u"打印名称"_s, u"账号"_s, u"开户银行"_s,
                                        u"用途"_s, u"备注"_s, u"本单位"_s}));
        auto shown = [&] {
            QStringList rows;
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c)
                    cells << table->item(r, c)->text();
                rows << cells.join(u'/');
            }
            return rows.join(u'|');
        };
        auto press = [&](const QString& button) {
            QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
        };
        auto rowOf = [&](const QString& name) {
            const QList<QTableWidgetItem*> found = table->findItems(name, Qt::MatchExactly);
            return found.isEmpty() ? -1 : found.first()->row();
        };

        // An entry of the company's own; then one whose name is missing, then taken, before
        // it is saved under a name of its own with what was typed the first time.
        runWhenOpen(u"新增往来单位"_s, [](QWidget* form) {
            fillAndSave(form, {{u"fullName"_s, u"甲公司"_s},
                               {u"account"_s, u"6222 0001"_s},
                               {u"bank"_s, u"工商银行"_s},
                               {u"own"_s, u"1"_s}});
        });
        press(u"add"_s);
        QCOMPARE(shown(), u"甲公司//6222 0001/工商银行///是"_s);
        runWhenOpen(u"新增往来单位"_s, [](QWidget* form) {
            auto* saving = qobject_cast<PayeeForm*>(form);
            QVERIFY(saving);
            fillAndSave(form, {{u"fullName"_s, u" "_s}, {u"account"_s, u"3"_s}});
            QCOMPARE(saving->shownReason(), u"缺少全称"_s);
            fillAndSave(form, {{u"fullName"_s, u"甲公司"_s}});
            QVERIFY(saving->isVisible());
            QCOMPARE(saving->shownReason(), u"往来单位已存在：甲公司"_s);
            QCOMPARE(child<QLabel>(form, u"why"_s)->text(), u"往来单位已存在：甲公司"_s);
            fillAndSave(form, {{u"fullName"_s, u"乙公司"_s}, {u"notes"_s, u"abc"_s}});
        });
        press(u"add"_s);
        QCOMPARE(shown(), u"乙公司//3///abc/|甲公司//6222 0001/工商银行///是"_s);
        QCOMPARE(shown(), f.t.rows(kListed));
        QVERIFY(f.t.prompts.shown().empty());

        // The search finds names, accounts and banks; Latin letters in either case.
        const std::pair<QString, QString> searches[] = {
            {u"0001"_s, u"甲公司"_s}, {u"乙"_s, u"乙公司"_s}, {u"ABC"_s, QString()}, {u""_s, {}}};
        for (const auto& [text, found] : searches) {
            search->clear();
            Fixture::typeInto(search, text);
            QCOMPARE(table->rowCount(), text.isEmpty() ? 2 : int(!found.isEmpty()));
            if (!found.isEmpty())
                QCOMPARE(table->item(0, 0)->text(), found);
        }
        // A new entry that the search would hide is shown with all the others.
        Fixture::typeInto(search, u"甲"_s);
        runWhenOpen(u"新增往来单位"_s, [](QWidget* form) {
            fillAndSave(form, {{u"fullName"_s, u"丙公司"_s}});
        });
        press(u"add"_s);
        QCOMPARE(search->text(), QString());
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->currentRow(), rowOf(u"丙公司"_s));

        // Enter on a row changes its entry; a double-click too, and its refusal shows in the
        // form, which Cancel leaves without a change.
        table->setFocus();
        table->selectRow(rowOf(u"乙公司"_s));
        runWhenOpen(u"修改往来单位"_s, [](QWidget* form) {
            QCOMPARE(child<QLineEdit>(form, u"fullName"_s)->text(), u"乙公司"_s);
            QCOMPARE(child<QLineEdit>(form, u"notes"_s)->text(), u"abc"_s);
            fillAndSave(form, {{u"printName"_s, u"乙"_s}, {u"purpose"_s, u"货款"_s}});
        });
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(f.t.rows(kListed), shown());
        QCOMPARE(shown(), u"丙公司//////|乙公司/乙/3//货款/abc/|甲公司//6222 0001/工商银行///是"_s);
        runWhenOpen(u"修改往来单位"_s, [](QWidget* form) {
            fillAndSave(form, {{u"fullName"_s, u"乙公司"_s}, {u"own"_s, u"0"_s}});
            QCOMPARE(qobject_cast<PayeeForm*>(form)->shownReason(), u"往来单位已存在：乙公司"_s);
            QTest::mouseClick(child<QPushButton>(form, u"COM1"_s), Qt::LeftButton);
        });
        const QRect cell = table->visualItemRect(table->item(rowOf(u"甲公司"_s), 0));
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.t.rows(kListed), shown());
        QVERIFY(shown().endsWith(u"甲公司//6222 0001/工商银行///是"_s));

        // A removal asks first; No keeps the entry, Yes marks it removed and keeps the row.
        table->selectRow(rowOf(u"乙公司"_s));
        for (const PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
            f.t.prompts.queueAnswer(answer);
            press(u"remove"_s);
        }
        QCOMPARE(f.t.prompts.shown().back().text,
                 u"确定删除往来单位“乙公司”吗？删除后历史记录不受影响。"_s);
        QCOMPARE(f.t.prompts.shown().back().buttons, PromptButtons::YesNo);
        QCOMPARE(f.t.prompts.shown().size(), size_t(2));
        QCOMPARE(rowOf(u"乙公司"_s), -1);
        QCOMPARE(f.t.rows(kListed), shown());
        QCOMPARE(f.t.rows(u"SELECT 已删除 FROM 往来单位 WHERE 全称='乙公司'"_s), u"1"_s);
        f.t.prompts.clear();
        press(u"remove"_s);  // nothing selected any more
        QCOMPARE(f.shownTexts(), QStringList{u"请先选中一个往来单位。"_s});

        // A list: a new name added, a known one updated; a bad list changes nothing and names
        // each bad row; a cancelled file dialog does nothing.
        auto write = [&](const QString& name, const QByteArray& bytes) {
            const QString path = f.t.dir.filePath(name);
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path
                                                                                        : QString();
        };
        f.t.prompts.clear();
        f.t.prompts.queueText(
            write(u"list.csv"_s, "全称,账号,开户银行\n甲公司,,农业银行\n丁公司,4,中国银行\n"));
        press(u"importList"_s);
        f.t.prompts.queueText(write(u"bad.csv"_s, "全称,账号\n戊公司,5\n,6\n戊公司,7\n"));
        press(u"importList"_s);
        press(u"importList"_s);
        QCOMPARE(f.t.prompts.shown().front().defaultText,
                 u"往来单位列表 (*.csv *.xlsx)|*.csv;*.xlsx"_s);
        QCOMPARE(f.shownTexts(),
                 (QStringList{u"选择往来单位列表"_s, u"已新增 1 个，更新 1 个往来单位。"_s,
                              u"选择往来单位列表"_s,
                              u"未导入，往来单位没有改动：\n第3行：缺少全称\n"
                              u"第4行：全称重复"_s,
                              u"选择往来单位列表"_s}));
        QCOMPARE(f.t.rows(kListed), shown());
        QCOMPARE(shown(), u"丁公司//4/中国银行///|丙公司//////|甲公司//6222 0001/农业银行///是"_s);

        // The history's transfer cheques: 戊公司 is new, 甲公司 known, 乙公司 stays removed, the
        // slip's 庚公司 is not taken.
        f.t.prompts.clear();
        press(u"importHistory"_s);
        QCOMPARE(f.shownTexts(), QStringList{u"已新增 1 个，更新 0 个往来单位。"_s});
        QCOMPARE(f.t.rows(kListed), shown());
        QVERIFY(shown().contains(u"|戊公司//////|"_s));
        dialog->close();

        // The payee's pick list: the book, the most used first, then the history's other names.
        QTest::mouseDClick(f.field(Field::Payee), Qt::LeftButton);
        QComboBox* list = f.tab().pickList();
        QVERIFY(list->isVisible());
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        QCOMPARE(items,
                 (QStringList{u"戊公司"_s, u"甲公司"_s, u"丁公司"_s, u"丙公司"_s, u"乙公司"_s}));
    }
};

QTEST_MAIN(TestMainWindowPayees)
#include "tst_mainwindow_payees.moc"
