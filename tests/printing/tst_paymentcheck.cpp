// Every row of a payment list checked before anything prints, on the recording surface.
#include <QTest>

#include "BatchPrint.h"
#include "Cheque.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "PaymentCheck.h"
#include "PaymentList.h"
#include "RecordingSurface.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

class TestPaymentCheck : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    void datesInTheirForms_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("dashes") << u"2026-12-09"_s << QDate(2026, 12, 9);
        QTest::newRow("points") << u"2026.1.5"_s << QDate(2026, 1, 5);
        QTest::newRow("slashes") << u"2026/01/05"_s << QDate(2026, 1, 5);
        QTest::newRow("Chinese") << u"2026年1月5日"_s << QDate(2026, 1, 5);
        QTest::newRow("no real day") << u"2026-02-30"_s << QDate();
        QTest::newRow("words") << u"明天"_s << QDate();
    }
    void datesInTheirForms() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(paymentDate(text), date);
    }

    void everyRowIsCheckedBeforeAnythingPrints() {
        TestDatabase t;
        const QByteArray csv =
            u"收款人,金额,用途,出票日期,收款人(票根)\n"
            u"甲公司,1234.5,货款,2026年12月9日,\n"
            u"乙公司,123456789,货款,,\n"
            u"丙公司,10,货款,2026-02-30,\n"
            u",10,货款,,\n"
            u"丁公司,10,货款,,一二三四五六七八九十十一\n"
            u"戊公司戊公司戊公司戊公司戊公司戊公司戊公司,10,,,\n"_s.toUtf8();
        QString error;
        const std::optional<PaymentList> list = ReadCsvPaymentList(csv, &error);
        QVERIFY(list);
        Cheque base;
        base.setText(Field::Bank, u"工商银行"_s);
        RecordingSurface measure;
        const QList<PaymentCheque> cheques = CheckPaymentList(
            *list, base, QDate(2026, 12, 8), LoadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QCOMPARE(cheques.size(), 6);

        // The good row: typed as a user types, the capitals and the stub follow.
        const Cheque& good = cheques[0].cheque;
        QVERIFY2(cheques[0].problems.isEmpty(), qPrintable(cheques[0].problems.join(u'\n')));
        QCOMPARE(good.text(Field::Amount), u"￥1234.50"_s);
        QCOMPARE(good.text(Field::AmountInCapitals), u"壹仟贰佰叁拾肆元伍角整"_s);
        QCOMPARE(good.text(Field::StubPayee), u"甲公司"_s);
        QCOMPARE(good.text(Field::Day) + good.text(Field::StubDay), u"零玖9"_s);
        QCOMPARE(good.text(Field::Bank), u"工商银行"_s);  // from the base cheque

        QStringList problems;
        for (const PaymentCheque& cheque : cheques)
            problems << cheque.problems.join(u" / "_s);
        QCOMPARE(problems[1], u"第3行，金额列“123456789”：金额填写错误，请重新填写"_s);
        QCOMPARE(problems[2], u"第4行，出票日期列“2026-02-30”：日期填写错误"_s);
        QCOMPARE(problems[3], u"第5行，收款人列“”：缺少收款人"_s);
        QCOMPARE(problems[4], u"第6行，收款人(票根)列“一二三四五六七八九十十一”：超过10个字"_s);
        QVERIFY2(problems[5].startsWith(u"第7行，票身-收款人"_s) &&
                     problems[5].endsWith(u"：超出支票栏位"_s),
                 qPrintable(problems[5]));
        QCOMPARE(cheques[1].cheque.text(Field::Day), u"零捌"_s);  // no date: today
        QVERIFY(measure.texts().empty());                         // nothing was printed
    }

    // A password belongs to one cheque: a row has its own or none, while the account, the bank
    // and the stub's signatures still come from the window's cheque unless the row gives them.
    void aRowTakesThePasswordOnlyFromItsOwnColumn_data() {
        QTest::addColumn<QString>("csv");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("bank");
        QTest::addColumn<QString>("inherited");
        const QString all =
            u"各行沿用：账号 6222001\u3000银行 工商银行\u3000主管 张三\u3000会计 （空）"_s;
        QTest::newRow("no password column")
            << u"收款人,金额\n甲公司,100\n"_s << QString() << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("blank password cell") << u"收款人,金额,密码\n甲公司,100,\" \"\n"_s
                                             << QString() << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("own password") << u"收款人,金额,密码\n甲公司,100,4711\n"_s << u"4711"_s
                                      << u"6222001"_s << u"工商银行"_s << all;
        QTest::newRow("own account and bank")
            << u"收款人,金额,账号,银行,密码,主管\n甲公司,100,9558,建设银行,,李四\n"_s << QString()
            << u"9558"_s << u"建设银行"_s << u"各行沿用：会计 （空）"_s;
        QTest::newRow("one row of two gives its account")
            << u"收款人,金额,账号\n甲公司,100,9558\n乙公司,200,\n"_s << QString() << u"9558"_s
            << u"工商银行"_s << all;
    }
    void aRowTakesThePasswordOnlyFromItsOwnColumn() {
        QFETCH(QString, csv);
        QFETCH(QString, password);
        QFETCH(QString, account);
        QFETCH(QString, bank);
        QFETCH(QString, inherited);
        TestDatabase t;
        QString error;
        const std::optional<PaymentList> list = ReadCsvPaymentList(csv.toUtf8(), &error);
        QVERIFY2(list, qPrintable(error));
        Cheque base;
        base.setText(Field::Password, u"123456"_s);
        base.setText(Field::Account, u"6222001"_s);
        base.setText(Field::Bank, u"工商银行"_s);
        base.setText(Field::Supervisor, u"张三"_s);
        RecordingSurface measure;
        const QList<PaymentCheque> cheques = CheckPaymentList(
            *list, base, QDate(2026, 12, 8), LoadPrintFormat(t.db, u"标准支票"_s).value(), measure);
        QVERIFY(!cheques.isEmpty());
        QVERIFY2(cheques[0].problems.isEmpty(), qPrintable(cheques[0].problems.join(u'\n')));
        for (const PaymentCheque& row : cheques)
            QVERIFY(row.cheque.text(Field::Password) != base.text(Field::Password));
        QCOMPARE(cheques[0].cheque.text(Field::Password), password);
        QCOMPARE(cheques[0].cheque.text(Field::Account), account);
        QCOMPARE(cheques[0].cheque.text(Field::Bank), bank);
        QCOMPARE(inheritedValuesLine(*list, cheques), inherited);
    }

    void aBatchPrintsAsOneDocumentOrNotAtAll() {
        TestDatabase t;
        QList<Cheque> cheques(3);
        const QString amounts[] = {u"￥99999999.99"_s, u"￥0.10"_s, u"￥1234.56"_s};
        for (int k = 0; k < 3; ++k) {
            cheques[k].setText(Field::Payee, u"收款人%1"_s.arg(k));
            cheques[k].setText(Field::Amount, amounts[k]);
        }
        QCOMPARE(batchSummary(cheques), u"共 3 张支票，合计 ￥100,001,234.65"_s);

        auto count = [](const RecordingSurface& surface, RecordingSurface::Kind kind) {
            return std::count_if(surface.calls.begin(), surface.calls.end(),
                                 [&](const auto& call) { return call.kind == kind; });
        };
        RecordingSurface printer;
        QList<int> drawn;
        QVERIFY(PrintChequeBatch(printer, cheques, LoadPrintFormat(t.db, u"标准支票"_s).value(),
                                 [&](int page) { drawn << page; }));
        QCOMPARE(drawn, (QList<int>{1, 2, 3}));
        QCOMPARE(count(printer, RecordingSurface::Kind::NewPage), 2);
        QCOMPARE(count(printer, RecordingSurface::Kind::End), 1);
        QVERIFY(printer.drawnText().contains(u"收款人2"_s));

        // The printer fails on the second page: the whole job is thrown away.
        RecordingSurface failing;
        failing.failAfterTexts = int(printer.texts().size()) / 2;
        drawn.clear();
        QVERIFY(!PrintChequeBatch(failing, cheques, LoadPrintFormat(t.db, u"标准支票"_s).value(),
                                  [&](int page) { drawn << page; }));
        QCOMPARE(drawn, QList<int>{1});
        QCOMPARE(count(failing, RecordingSurface::Kind::End), 0);
        QCOMPARE(failing.calls.back().kind, RecordingSurface::Kind::Abandon);
    }
};

QTEST_GUILESS_MAIN(TestPaymentCheck)
#include "tst_paymentcheck.moc"
