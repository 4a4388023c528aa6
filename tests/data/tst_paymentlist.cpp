// Payment lists for batch printing, read from CSV files as spreadsheets and people write them.
#include <QStringEncoder>
#include <QTest>

#include "ChequeFields.h"
#include "PaymentList.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray gb18030(const QString& text) {
    QStringEncoder encode("GB18030");
    return encode(text);
}

}  // namespace

class TestPaymentList : public QObject {
    Q_OBJECT

private slots:
    void readingCsv_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<QStringList>("cells");  // every row's cells joined by "|"
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QStringList>("unknown");
        const QList<int> payeeAmount = {Field::Payee, Field::Amount};
        QTest::newRow("UTF-8 with a byte-order mark")
            << ("\xEF\xBB\xBF"_ba + u"收款人,金额\r\n甲公司,100\r\n"_s.toUtf8())
            << QStringList{u"收款人"_s, u"金额"_s} << payeeAmount << QStringList{u"甲公司|100"_s}
            << QList<int>{2} << QStringList{};
        QTest::newRow("GB18030 from a Chinese Windows")
            << gb18030(u"收款人全称,金额\r\n乙公司,200.5\r\n"_s)
            << QStringList{u"收款人全称"_s, u"金额"_s} << payeeAmount
            << QStringList{u"乙公司|200.5"_s} << QList<int>{2} << QStringList{};
        QTest::newRow("quotes, commas and a line break inside a value")
            << u"收款人,用途\n\"甲,乙\"\"公司\",\"第一行\r\n第二行\"\n丙,货款\n"_s.toUtf8()
            << QStringList{u"收款人"_s, u"用途"_s} << QList<int>{Field::Payee, Field::Purpose}
            << QStringList{u"甲,乙\"公司|第一行\r\n第二行"_s, u"丙|货款"_s} << QList<int>{2, 4}
            << QStringList{};
        QTest::newRow("blank lines and rows skipped, short rows filled")
            << u"\n,,\n票身-收款人,小写金额,出票日期\n\n丁\n,,\n戊,5,2026-12-09"_s.toUtf8()
            << QStringList{u"票身-收款人"_s, u"小写金额"_s, u"出票日期"_s}
            << QList<int>{Field::Payee, Field::Amount, PaymentList::kIssueDate}
            << QStringList{u"丁||"_s, u"戊|5|2026-12-09"_s} << QList<int>{5, 7} << QStringList{};
        QTest::newRow("unknown headings are reported")
            << u"收款人,备注,金额\n甲,随便,1\n"_s.toUtf8()
            << QStringList{u"收款人"_s, u"备注"_s, u"金额"_s}
            << QList<int>{Field::Payee, PaymentList::kUnknown, Field::Amount}
            << QStringList{u"甲|随便|1"_s} << QList<int>{2} << QStringList{u"备注"_s};
    }
    void readingCsv() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, headings);
        QFETCH(QList<int>, columns);
        QFETCH(QStringList, cells);
        QFETCH(QList<int>, lines);
        QFETCH(QStringList, unknown);
        QString error;
        const std::optional<PaymentList> list = ReadCsvPaymentList(bytes, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->headings, headings);
        QCOMPARE(list->columns, columns);
        QCOMPARE(list->unknownHeadings, unknown);
        QStringList rows;
        QList<int> starts;
        for (const PaymentList::Row& row : list->rows) {
            rows << row.cells.join(u'|');
            starts << row.line;
        }
        QCOMPARE(rows, cells);
        QCOMPARE(starts, lines);
    }

    void filesThatCannotBeRead_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << u"文件中没有标题行"_s;
        QTest::newRow("only blank lines") << "\r\n,\r\n"_ba << u"文件中没有标题行"_s;
        QTest::newRow("a quote never closed")
            << u"收款人\n甲\n\"乙\n丙"_s.toUtf8() << u"第3行的引号没有结束"_s;
    }
    void filesThatCannotBeRead() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString reason;
        QVERIFY(!ReadCsvPaymentList(bytes, &reason));
        QCOMPARE(reason, error);
    }
};

QTEST_APPLESS_MAIN(TestPaymentList)
#include "tst_paymentlist.moc"
