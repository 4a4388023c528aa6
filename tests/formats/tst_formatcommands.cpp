// The format commands on a real format grid and a real database file, without a window.
#include <QTest>

#include "BoundGrid.h"
#include "Document.h"
#include "FormatBackground.h"
#include "FormatCommands.h"
#include "FormatGrid.h"
#include "FormatStore.h"
#include "GridRoutines.h"
#include "ProgressIndicator.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextMeasure.h"
#include "ZeroMeasure.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDefault = u"标准支票"_s;

}  // namespace

class TestFormatCommands : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;
    const Clock m_clock = testClock();
    ZeroMeasure m_measure;
    ProgressIndicator m_progress{m_clock};
    BoundGrid m_grid;
    Document m_cheque;
    FormatDisplays m_displays;

    void showFormat(const QString& name) {
        m_displays.currentFormat = name;
        ShowFormatGrid(m_grid, m_t->db, name, m_cheque, m_displays, {m_measure, m_progress});
    }
    int rowOf(const QString& identifier) {
        for (int r = m_grid.fixedRows(); r < m_grid.rows(); ++r)
            if (m_grid.text(r, 2) == identifier)
                return r;
        return -1;
    }
    QVariant stored(const QString& column, const QString& name, const QString& field) {
        return m_t->scalar(u"SELECT "_s + column + u" FROM 支票格式 WHERE Name=? AND CtlDF=?"_s,
                           {name, field});
    }
    // Every row of a format, for comparing before and after.
    QStringList rowsOf(const QString& name) {
        QStringList rows;
        if (std::optional<QSqlQuery> q = m_t->db.select(
                u"SELECT CtlDF, X, Y, S, Color, fName, fSize, fBold FROM 支票格式 WHERE Name=? "
                u"ORDER BY CtlDF"_s,
                {name}))
            while (q->next()) {
                QStringList cells;
                for (int c = 0; c < 8; ++c)
                    cells << q->value(c).toString();
                rows << cells.join(u'|');
            }
        return rows;
    }
    int count(const QString& name) {
        return m_t->scalar(u"SELECT count(*) FROM 支票格式 WHERE Name=?"_s, {name}).toInt();
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() {
        m_t = new TestDatabase;
        m_cheque = Document();
        showFormat(kDefault);
    }
    void cleanup() { delete m_t; }

    // An edited grid goes back into the database as it stands, and the red marks go.
    void saveWritesTheGridBack() {
        const int payee = rowOf(u"票身-收款人"_s);
        const int bank = rowOf(u"银行"_s);
        m_grid.setText(payee, 3, u"24.5"_s);
        SetRowForeColor(m_grid, payee, 255);
        quint32 black = 0;
        SetCellColor(m_grid, bank, 6, black, false);
        QCOMPARE(m_grid.cell(bank, 6).backColor, kNearBlack);
        quint32 red = 255;
        SetCellColor(m_grid, payee, 6, red, false);
        m_grid.setText(bank, 9, u"√"_s);
        m_displays.marginX = u"12"_s;
        m_displays.stubWidth = u"55"_s;
        m_cheque.setEndorsement(0, u"20"_s);
        QVERIFY(SaveFormatFromGrid(m_t->db, m_grid, kDefault, m_cheque, m_displays, m_progress,
                                   m_t->prompts));
        QCOMPARE(stored(u"X"_s, kDefault, u"票身-收款人"_s).toDouble(), 24.5);
        QCOMPARE(stored(u"Color"_s, kDefault, u"票身-收款人"_s).toLongLong(), 255);
        QCOMPARE(stored(u"Color"_s, kDefault, u"银行"_s).toLongLong(), 0);  // near-black is black
        QCOMPARE(stored(u"fBold"_s, kDefault, u"银行"_s).toInt(), 1);
        QCOMPARE(stored(u"fBold"_s, kDefault, u"账号"_s).toInt(), 0);
        QCOMPARE(stored(u"X"_s, kDefault, u""_s).toDouble(), 12.0);
        QCOMPARE(stored(u"S"_s, kDefault, u""_s).toDouble(), 55.0);
        QCOMPARE(stored(u"fName"_s, kDefault, u""_s).toString(), u"20 22 63 0 10"_s);
        QCOMPARE(count(kDefault),
                 kPrintableFieldCount + 1);             // each field and the page settings, once
        QCOMPARE(m_grid.cell(payee, 3).foreColor, 0u);  // saved: no longer red
        QVERIFY(m_cheque.font(Field::Bank).bold);       // the saved fonts reach the fields
        QCOMPARE(m_progress.state().shown, false);
    }

    void aGridWithoutDataRowsKeepsOnlyThePageSettings() {
        SetUpGridColumns(m_grid, formatGridNames(), formatGridHeadings());
        QVERIFY(SaveFormatFromGrid(m_t->db, m_grid, kDefault, m_cheque, m_displays, m_progress,
                                   m_t->prompts));
        QCOMPARE(count(kDefault), 1);
        QCOMPARE(stored(u"S"_s, kDefault, u""_s).toDouble(), 60.0);
    }

    void aFailedSaveLeavesTheStoredFormat() {
        const QStringList before = rowsOf(kDefault);
        m_grid.setText(rowOf(u"票身-收款人"_s), 3, u"99"_s);
        // The database refuses one row halfway through the save.
        QVERIFY(m_t->refuse(u"INSERT"_s, u"支票格式"_s, u"NEW.CtlDF='会计'"_s));
        QVERIFY(!SaveFormatFromGrid(m_t->db, m_grid, kDefault, m_cheque, m_displays, m_progress,
                                    m_t->prompts));
        QVERIFY(
            m_t->prompts.shown().back().text.startsWith(u"数据库打开错误(INSERT INTO 支票格式"_s));
        QCOMPARE(rowsOf(kDefault), before);
        QCOMPARE(m_grid.cell(rowOf(u"票身-收款人"_s), 3).text, u"99"_s);  // the edit stays
    }

    void anEmptyNameIsRefused() {
        const QStringList before = rowsOf(QString());
        QVERIFY(!SaveFormatFromGrid(m_t->db, m_grid, u" "_s, m_cheque, m_displays, m_progress,
                                    m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"格式名称不能为空！"_s);
        QCOMPARE(rowsOf(QString()), before);  // the current-format row is untouched
    }

    void saveAs_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("a new name: no question") << u"工行转账支票"_s << false << false << true;
        QTest::newRow("the current name, Yes") << kDefault << true << true << true;
        QTest::newRow("another existing name, No") << u"旧格式"_s << true << false << false;
        QTest::newRow("another existing name, Yes") << u"旧格式"_s << true << true << true;
        QTest::newRow("cancelled dialog") << QString() << false << false << false;
    }
    void saveAs() {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(bool, yes);
        QFETCH(bool, saved);
        QVERIFY(
            m_t->db.execute(u"INSERT INTO 支票格式 (Name, CtlDF, X) VALUES ('旧格式', '', 3), "
                            u"('旧格式', '银行', 1)"_s));
        m_grid.setText(rowOf(u"银行"_s), 3, u"130"_s);
        m_displays.marginY = u"8"_s;
        m_t->prompts.queueAnswer(yes ? PromptAnswer::Yes : PromptAnswer::No);
        QCOMPARE(
            SaveFormatAs(m_t->db, m_grid, name, m_cheque, m_displays, m_progress, m_t->prompts),
            saved);
        const bool asked = !m_t->prompts.shown().empty() &&
                           m_t->prompts.shown().front().text == u"该格式已经存在，是否覆盖？"_s;
        QCOMPARE(asked, exists);
        const QString current = m_t->currentFormat();
        QCOMPARE(current, saved ? name : kDefault);
        if (saved) {
            QCOMPARE(stored(u"X"_s, name, u"银行"_s).toDouble(), 130.0);
            QCOMPARE(stored(u"Y"_s, name, u""_s).toDouble(), 8.0);
            QCOMPARE(count(name), kPrintableFieldCount + 1);
            QVERIFY(m_displays.formatNames.contains(name));
            QCOMPARE(m_displays.currentFormat, name);
        } else if (exists) {
            QCOMPARE(count(u"旧格式"_s), 2);  // left as it was
        }
    }

    void deleting() {
        QVERIFY(
            m_t->db.execute(u"INSERT INTO 支票格式 (Name, CtlDF, X, Y, S) VALUES "
                            u"('旧格式', '', 12, 13, 50), ('旧格式', '银行', 1, 1, 0)"_s));
        // Its scan of the blank form goes with it, so a later format of the name has none.
        QCOMPARE(storeBackground(m_t->db, u"旧格式"_s, kTransferCheque, {"scan", 0}),
                 BackgroundStored::Stored);
        ListFormatNames(m_t->db, m_displays);
        QVERIFY(!DeleteFormat(m_t->db, QString(), m_displays, m_t->prompts));  // cancelled
        QVERIFY(m_t->prompts.shown().empty());
        QVERIFY(!DeleteFormat(m_t->db, kDefault, m_displays, m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"此格式为当前格式，不允许删除！"_s);
        QCOMPARE(count(kDefault), kPrintableFieldCount + 1);
        // The question defaults to No: unanswered, nothing is deleted.
        QVERIFY(!DeleteFormat(m_t->db, u"旧格式"_s, m_displays, m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"您确定要删除格式“旧格式”？"_s);
        QCOMPARE(m_t->prompts.shown().back().buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(count(u"旧格式"_s), 2);
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 格式底图"_s).toInt(), 1);
        m_t->prompts.queueAnswer(PromptAnswer::Yes);
        QVERIFY(DeleteFormat(m_t->db, u"旧格式"_s, m_displays, m_t->prompts));
        QCOMPARE(m_t->prompts.shown().back().text, u"删除完成！"_s);
        QCOMPARE(count(u"旧格式"_s), 0);  // its page settings too
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 格式底图"_s).toInt(), 0);
        // Nor can one be set for it afterwards (another clerk's window may still try).
        QCOMPARE(storeBackground(m_t->db, u"旧格式"_s, kTransferCheque, {"scan", 0}),
                 BackgroundStored::NoFormat);
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 格式底图"_s).toInt(), 0);
        QCOMPARE(m_displays.formatNames, QStringList{kDefault});
        Document cheque;
        const std::optional<PageSettings> page =
            LoadPageSettings(m_t->db, u"旧格式"_s, cheque, m_displays);
        QVERIFY(page && page->x == 0 && page->y == 0 && page->s == 0);
    }
};

QTEST_MAIN(TestFormatCommands)
#include "tst_formatcommands.moc"
