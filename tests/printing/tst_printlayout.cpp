#include <QTest>

#include "ChequeGeometry.h"
#include "Document.h"
#include "FormatStore.h"
#include "PrintLayout.h"
#include "RecordingSurface.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kFormat = u"标准支票"_s;

}  // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;
    FormatDisplays m_displays;

    FieldPosition stored(int field) {
        std::optional<QSqlQuery> row =
            m_t->db.select(u"SELECT X, Y, S FROM 支票格式 WHERE Name=? AND CtlDF=? ORDER BY ID"_s,
                           {kFormat, chequeFields()[size_t(field)].identifier.toString()});
        if (!row || !row->next())
            return {};
        return {row->value(0).toDouble(), row->value(1).toDouble(), row->value(2).toDouble()};
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void positions_data() {
        QTest::addColumn<double>("marginX");
        QTest::addColumn<double>("marginY");
        QTest::addColumn<bool>("crosswise");
        QTest::addColumn<int>("stub");       // Chk(7)
        QTest::addColumn<int>("guides");     // Chk(8)
        QTest::addColumn<double>("bodyDx");  // printer X - format X of a body field
        QTest::addColumn<double>("stubDx");
        QTest::addColumn<double>("dy");
        QTest::newRow("margins 10/10 print at the format positions")
            << 10.0 << 10.0 << true << 0 << 0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("margins 15/15 move 5 mm left and up")
            << 15.0 << 15.0 << true << 0 << 0 << -5.0 << -5.0 << -5.0;
        QTest::newRow("decimal margin 13.5")
            << 13.5 << 10.0 << true << 0 << 0 << -3.5 << -3.5 << 0.0;
        QTest::newRow("lengthwise lies 130 mm down")
            << 10.0 << 10.0 << false << 0 << 0 << 0.0 << 0.0 << 130.0;
        QTest::newRow("lengthwise with guides closing in")
            << 10.0 << 10.0 << false << 0 << 1 << 0.0 << 0.0 << 65.0;
        QTest::newRow("guides do nothing crosswise")
            << 10.0 << 10.0 << true << 0 << 1 << 0.0 << 0.0 << 0.0;
        QTest::newRow("stub width 60 moves the body only")
            << 10.0 << 10.0 << true << 1 << 0 << 60.0 << 0.0 << 0.0;
        QTest::newRow("everything at once")
            << 12.0 << 8.0 << false << 1 << 1 << 58.0 << -2.0 << 67.0;
    }
    void positions() {
        QFETCH(double, marginX);
        QFETCH(double, marginY);
        QFETCH(bool, crosswise);
        QFETCH(int, stub);
        QFETCH(int, guides);
        QFETCH(double, bodyDx);
        QFETCH(double, stubDx);
        QFETCH(double, dy);
        Document cheque;
        QVERIFY(SavePageSettings(m_t->db, marginX, marginY, 60, kFormat, cheque, m_displays));
        QVERIFY(m_t->db.execute(u"UPDATE 支票格式 SET S=0.25 WHERE CtlDF='小写金额'"_s));
        cheque.setCrosswise(crosswise);
        cheque.setChk(7, stub);
        cheque.setChk(8, guides);
        const std::optional<PrintFormat> loaded = loadPrintFormat(m_t->db, kFormat);
        QVERIFY(loaded);
        const PositionTable table = fieldPositions(*loaded, cheque);
        for (int i = 0; i < kPrintableFieldCount; ++i) {
            const FieldPosition format = stored(i);
            const FieldPosition& printer = table[size_t(i)];
            const double dx = i < kBodyFieldCount ? bodyDx : stubDx;
            QVERIFY2(qAbs(printer.x - (format.x + dx)) < 1e-6, qPrintable(QString::number(i)));
            QVERIFY2(qAbs(printer.y - (format.y + dy)) < 1e-6, qPrintable(QString::number(i)));
            QCOMPARE(printer.s, format.s);
        }
        QCOMPARE(table[5].s, 0.25);
    }

    void rowsWithoutAFieldAndFormatsWithoutPageSettings() {
        QVERIFY(m_t->db.execute(
            u"INSERT INTO 支票格式 (Name, CtlDF, X, Y) VALUES (?, '没有这个字段', 99, 99)"_s,
            {kFormat}));
        QVERIFY(m_t->db.execute(u"DELETE FROM 支票格式 WHERE Name=? AND CtlDF=''"_s, {kFormat}));
        QVERIFY(m_t->db.execute(u"DELETE FROM 支票格式 WHERE CtlDF='会计'"_s));
        // Of two rows of one field the first counts.
        QVERIFY(m_t->db.execute(
            u"INSERT INTO 支票格式 (Name, CtlDF, X, Y) VALUES (?, '银行', 99, 99)"_s, {kFormat}));
        const std::optional<PrintFormat> format = loadPrintFormat(m_t->db, kFormat);
        QVERIFY(format);
        const PositionTable table = fieldPositions(*format, Document());
        // No page settings: H = V = W = 0, so everything moves 10 mm right and down.
        QCOMPARE(table[3].x, stored(3).x + 10);
        QCOMPARE(table[3].y, stored(3).y + 10);
        QCOMPARE(table[18].x, 10.0);  // no row: 10 - H
        QCOMPARE(table[18].y, 10.0);
        QCOMPARE(table[Field::Bank].x, stored(Field::Bank).x + 10);
        QCOMPARE(FieldIndexOf(u"没有这个字段"), -1);
        QCOMPARE(FieldIndexOf(u"会计"), 18);
    }

    void pageSetUp_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("crosswise");
        QTest::addColumn<int>("stub");
        QTest::addColumn<bool>("refuseA3");
        QTest::addColumn<int>("paper");  // 3 = A3, 4 = A4, 0 = left alone (it starts as A3)
        QTest::addColumn<bool>("landscape");
        QTest::newRow("crosswise with stub takes A3")
            << u"HP LaserJet"_s << true << 1 << false << 3 << false;
        QTest::newRow("refused A3 falls back to A4")
            << u"HP LaserJet"_s << true << 1 << true << 4 << false;
        QTest::newRow("crosswise without stub takes A4")
            << u"HP LaserJet"_s << true << 0 << false << 4 << false;
        QTest::newRow("lengthwise takes A4 landscape")
            << u"HP LaserJet"_s << false << 1 << false << 4 << true;
        QTest::newRow("OKI keeps its paper") << u"oki ML5100"_s << true << 0 << false << 0 << false;
        QTest::newRow("PDF file") << u""_s << true << 1 << false << 3 << false;
    }
    void pageSetUp() {
        QFETCH(QString, device);
        QFETCH(bool, crosswise);
        QFETCH(int, stub);
        QFETCH(bool, refuseA3);
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        RecordingSurface surface;
        surface.name = device;
        surface.refuseA3 = refuseA3;
        surface.paper = PaperSize::A3;
        Document cheque;
        cheque.setCrosswise(crosswise);
        cheque.setChk(7, stub);
        QVERIFY(SetupChequePage(surface, cheque));
        QCOMPARE(surface.paper, paper == 4 ? PaperSize::A4 : PaperSize::A3);
        QCOMPARE(surface.landscape, landscape);
    }

    void refusedA4StopsThePrint() {
        RecordingSurface surface;
        surface.refuseA3 = surface.refuseA4 = true;
        QVERIFY(!SetupChequePage(surface, Document()));
    }

    // The shipped format puts every field's first character inside its place on the cheque.
    void shippedFieldsLieInTheirPlaces() {
        const ChequeGeometry& g = ChequeGeometry::standard();
        QCOMPARE(g.places.size(), kPrintableFieldCount);
        for (const ChequeGeometry::Place& place : g.places) {
            auto stored = [&](const QString& column) {
                return m_t
                    ->scalar(u"SELECT "_s + column +
                                 u" FROM 支票格式 WHERE Name='标准支票' AND CtlDF=?"_s,
                             {place.field})
                    .toDouble();
            };
            const double x = stored(u"X"_s);
            const double y = stored(u"Y"_s);
            const double size = stored(u"fSize"_s) * 25.4 / 72;
            QVERIFY2(x >= place.rect.left() && x < place.rect.right(), qPrintable(place.field));
            QVERIFY2(y >= place.rect.top() && y + size <= place.rect.bottom(),
                     qPrintable(place.field));
        }
    }
};

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
