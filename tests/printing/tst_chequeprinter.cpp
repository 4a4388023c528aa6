#include <QTest>

#include "ChequePrinter.h"
#include "Document.h"
#include "FormatStore.h"
#include "PrintLayout.h"
#include "RecordingSurface.h"
#include "SampleCheque.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kFormat = u"标准支票"_s;
constexpr double kMm = 25.4 / 72;  // one point

}  // namespace

class TestChequePrinter : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    // The format as it stands in the database now.
    PrintFormat format() { return loadPrintFormat(m_t->db, kFormat).value_or(PrintFormat{}); }
    PositionTable positionsFor(const Document& cheque) { return fieldPositions(format(), cheque); }
    RecordingSurface print(const Document& cheque) {
        RecordingSurface surface;
        PrintCheque(surface, cheque, format(), m_t->prompts);
        return surface;
    }
    // The texts drawn at a field's row (its Y), left of xBelow, in order.
    static std::vector<RecordingSurface::Call> at(const RecordingSurface& s, double y,
                                                  double xBelow = 1e9) {
        std::vector<RecordingSurface::Call> calls;
        for (const auto& call : s.texts())
            if (qAbs(call.y - y) < 1e-9 && call.x < xBelow)
                calls.push_back(call);
        return calls;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void boxedAmount_data() {
        QTest::addColumn<QString>("figures");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<QString>("boxed");
        QTest::newRow("￥0.50: seven blank boxes") << u"￥0.50"_s << 0.0 << u"       ￥050"_s;
        QTest::newRow("￥1234.56: four blank boxes") << u"￥1234.56"_s << 0.0 << u"    ￥123456"_s;
        QTest::newRow("spacing adds after every box") << u"￥1234.56"_s << 0.3 << u"    ￥123456"_s;
        QTest::newRow("largest amount fills every box")
            << u"￥99999999.99"_s << 0.0 << u"￥9999999999"_s;
    }
    void boxedAmount() {
        QFETCH(QString, figures);
        QFETCH(double, spacing);
        QFETCH(QString, boxed);
        QVERIFY(m_t->db.execute(u"UPDATE 支票格式 SET S=? WHERE CtlDF='小写金额'"_s, {spacing}));
        Document cheque = sampleCheque();
        cheque.setText(5, figures);
        cheque.setFont(5, TextFont{u"宋体"_s, 12});
        const FieldPosition start = positionsFor(cheque)[5];
        const RecordingSurface surface = print(cheque);
        std::vector<RecordingSurface::Call> drawn;
        for (const auto& call : surface.texts())
            if (call.y == start.y && call.font.size == 12)
                drawn.push_back(call);
        QCOMPARE(int(drawn.size()), 11);
        const std::span<const double> columns = figureBoxColumns(transferCheque(), Field::Amount);
        QCOMPARE(int(columns.size()), 11);
        for (int k = 0; k < 11; ++k) {
            QCOMPARE(drawn[size_t(k)].text, boxed.mid(k, 1));
            double x = start.x + k * spacing + (columns[size_t(k)] - columns[0]);
            if (boxed[k] == u'￥')
                x -= 12 * kMm / 4;  // a quarter of its width to the left
            QVERIFY2(qAbs(drawn[size_t(k)].x - x) < 1e-6, qPrintable(QString::number(k)));
        }
    }

    void unboxedCharactersFollowTheirWidths() {
        QVERIFY(m_t->db.execute(u"UPDATE 支票格式 SET S=1.5 WHERE CtlDF='票身-收款人'"_s));
        Document cheque = sampleCheque();
        cheque.setText(3, u"ab公司"_s);
        // The account, and the additional information's second line, share the payee's row.
        cheque.setText(Field::Account, QString());
        cheque.setText(Field::AdditionalInfo, QString());
        cheque.setFont(3, TextFont{u"宋体"_s, 14});
        const FieldPosition start = positionsFor(cheque)[3];
        const auto drawn = at(print(cheque), start.y);
        QCOMPARE(int(drawn.size()), 4);
        const double half = 14 * kMm / 2, full = 14 * kMm;
        const double expected[] = {start.x, start.x + half + 1.5, start.x + 2 * (half + 1.5),
                                   start.x + 2 * (half + 1.5) + full + 1.5};
        for (int k = 0; k < 4; ++k)
            QVERIFY(qAbs(drawn[size_t(k)].x - expected[k]) < 1e-6);
    }

    void stubOnlyWithItsSwitch() {
        Document cheque = sampleCheque();
        cheque.setText(stubField(0), u"附加"_s);
        cheque.setChk(7, 0);
        QVERIFY(!print(cheque).drawnText().contains(u"张三"));
        QVERIFY(!print(cheque).drawnText().contains(u"附"));
        cheque.setChk(7, 1);
        const RecordingSurface surface = print(cheque);
        QVERIFY(surface.drawnText().startsWith(u"附加2009519北京示例"_s));  // the stub comes first
        QVERIFY(surface.drawnText().contains(u"张三李四"_s));
        QCOMPARE(surface.calls.back().kind, RecordingSurface::Kind::End);
    }

    void suppressedFieldsAreNotDrawn() {
        Document cheque = sampleCheque();
        cheque.setChk(7, 0);
        for (int i : {0, 3, 4, 5, 6})
            cheque.setChk(i, 1);
        // Account, password and bank always print; nothing else does.
        QCOMPARE(
            print(cheque).drawnText(),
            cheque.text(Field::Account) + cheque.text(Field::Password) + cheque.text(Field::Bank));
        QCOMPARE(cheque.text(3), u"北京示例科技有限公司"_s);  // the text stays
    }

    void additionalInformationWrapsIntoFortyMillimetreLines() {
        Document cheque = sampleCheque();
        cheque.setFont(stubField(0), TextFont{u"宋体"_s, 10});
        // 24 characters and blanks: 10-point characters are 3.53 mm, so 11 fit in 40 mm.
        cheque.setText(stubField(0), u"一二三四五 六七八九十 甲乙丙丁戊己庚辛壬癸子丑寅卯"_s);
        const FieldPosition start = positionsFor(cheque)[10];
        const RecordingSurface surface = print(cheque);
        const QStringList expected = {u"一二三四五六七八九十甲"_s, u"乙丙丁戊己庚辛壬癸子丑"_s,
                                      u"寅卯"_s};
        for (int line = 0; line < expected.size(); ++line) {
            const auto drawn = at(surface, start.y + 5 * line, 60);  // the stub is 60 mm wide
            QString text;
            for (const auto& call : drawn)
                text += call.text;
            QCOMPARE(text, expected[line]);
            QCOMPARE(drawn.front().x, start.x);
        }
    }

    void characterWiderThanTheLineGetsALineOfItsOwn() {
        Document cheque = sampleCheque();
        cheque.setFont(stubField(0), TextFont{u"宋体"_s, 200});  // 70 mm characters
        cheque.setText(stubField(0), u"大字"_s);
        const FieldPosition start = positionsFor(cheque)[10];
        const RecordingSurface surface = print(cheque);
        QCOMPARE(at(surface, start.y, 60).front().text, u"大"_s);
        QCOMPARE(at(surface, start.y + 5, 60).front().text, u"字"_s);
    }

    void fieldsPrintInTheirFontsAndColours() {
        Document cheque = sampleCheque();
        const TextFont red{u"黑体"_s, 16, true, false, false, false, 255};
        cheque.setFont(9, red);
        const FieldPosition start = positionsFor(cheque)[9];
        const auto drawn = at(print(cheque), start.y);
        QVERIFY(!drawn.empty());
        for (const auto& call : drawn)
            if (call.text == u"工")
                QCOMPARE(call.font, red);
    }

    void failureShowsTheMessageAndAbandons() {
        Document cheque = sampleCheque();
        RecordingSurface surface;
        surface.failAfterTexts = 3;
        QVERIFY(!PrintCheque(surface, cheque, format(), m_t->prompts));
        QCOMPARE(surface.calls.back().kind, RecordingSurface::Kind::Abandon);
        QCOMPARE(int(surface.texts().size()), 3);
        QCOMPARE(m_t->prompts.shown().size(), size_t(1));
        QCOMPARE(m_t->prompts.shown()[0].text, u"打印错误，请检查打印机！"_s);

        RecordingSurface noPaper;
        noPaper.refuseA3 = noPaper.refuseA4 = true;
        QVERIFY(!PrintCheque(noPaper, cheque, format(), m_t->prompts));
        QVERIFY(noPaper.texts().empty());
    }

    // Margins that could not be read are no margins of 0: the format is not loaded, so there
    // is nothing to print with. The format table is put behind a view whose page-settings
    // rows fail to read; the field rows and fonts still read.
    void failedReadOfThePageSettingsLoadsNoFormat() {
        QVERIFY(m_t->db.execute(u"ALTER TABLE 支票格式 RENAME TO 格式行"_s));
        // Reading the page-settings row fails: an integer overflow in a file, a division by
        // zero on a server.
        const QString failing =
            onTestServer() ? u"CAST(1/length(CtlDF) AS TEXT)"_s : u"abs(-9223372036854775808)"_s;
        QVERIFY(
            m_t->db.execute(u"CREATE VIEW 支票格式 AS SELECT ID, Name, CtlDF, X, Y, S, Color, "
                            u"CASE WHEN CtlDF='' THEN "_s +
                            failing +
                            u" ELSE fName END AS fName, fSize, fBold, fItalic, fUnderline, "
                            u"fStrikethru FROM 格式行"_s));
        QVERIFY(!loadPrintFormat(m_t->db, kFormat));
        QVERIFY(m_t->prompts.shown().size() >= 1);
        QVERIFY(m_t->prompts.shown().back().text.startsWith(u"数据库打开错误("_s));
        // The field rows alone still read.
        QVERIFY(m_t->scalar(u"SELECT count(X) FROM 支票格式 WHERE CtlDF<>''"_s).toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(TestChequePrinter)
#include "tst_chequeprinter.moc"
