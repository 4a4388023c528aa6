#include <QTest>

#include "Document.h"

using namespace Qt::StringLiterals;

class TestCheque : public QObject {
    Q_OBJECT

private slots:
    void lookups_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("byIdentifier");
        QTest::addColumn<int>("byTag");
        QTest::newRow("first body field") << u"票身-年"_s << 0 << -1;
        QTest::newRow("amount in figures") << u"小写金额"_s << 5 << -1;
        QTest::newRow("first stub field") << u"附加信息"_s << 10 << -1;
        QTest::newRow("last stub field") << u"会计"_s << 18 << -1;
        QTest::newRow("tag of a body field") << u"T9"_s << -1 << 9;
        QTest::newRow("tag of a stub field") << u"F4"_s << -1 << 14;
        QTest::newRow("unknown") << u"票身"_s << -1 << -1;
    }
    void lookups() {
        QFETCH(QString, key);
        QFETCH(int, byIdentifier);
        QFETCH(int, byTag);
        QCOMPARE(FieldIndexOf(key), byIdentifier);
        QCOMPARE(fieldIndexByTag(key), byTag);
    }

    // Formats, history and the command line find a field by its identifier or tag: no two
    // fields may share one.
    void everyFieldIsFoundByItsOwnIdentifierAndTag() {
        for (const ChequeFieldInfo& field : chequeFields()) {
            QCOMPARE(FieldIndexOf(field.identifier), field.index);
            QCOMPARE(fieldIndexByTag(field.tag), field.index);
        }
    }

    void yearSwitchCopiesToMonthAndDayOnly() {
        Document cheque;
        cheque.setChk(0, 1);
        QCOMPARE(cheque.chk(1), 1);
        QCOMPARE(cheque.chk(2), 1);
        cheque.setChk(1, 0);
        QCOMPARE(cheque.chk(0), 1);
        QCOMPARE(cheque.chk(2), 1);
        cheque.setChk(0, 0);
        QCOMPARE(cheque.chk(1), 0);
        QCOMPARE(cheque.chk(2), 0);
    }

    void switchesRefuseValuesACheckBoxCannotHold() {
        Document cheque;
        QVERIFY(!cheque.setChk(3, 5));
        QVERIFY(!cheque.setChk(3, -1));
        QCOMPARE(cheque.chk(3), 0);
        QVERIFY(cheque.setChk(3, 2));
        QCOMPARE(cheque.chk(3), 2);
    }

    void stubAndSuppressionFollowTheSwitches() {
        Document cheque;
        cheque.setChk(7, 0);
        QVERIFY(!cheque.stubVisible());
        cheque.setChk(7, 1);
        QVERIFY(cheque.stubVisible());
        cheque.setChk(4, 1);
        QVERIFY(cheque.suppressed(4));
        QVERIFY(!cheque.suppressed(5));
        cheque.setChk(8, 1);
        QVERIFY(!cheque.suppressed(8));  // Chk(8) is the paper guides, not a field
    }

    void copiedTextsAreNeverCutToTheLengthLimit() {
        Document cheque;
        const QString payee(30, u'款');
        cheque.setText(stubField(4), payee);
        QCOMPARE(cheque.text(stubField(4)), payee);
    }

    void userGuideHasItsSections() {
        const QString guide = userGuideText();
        for (const QString& heading :
             {u"一、简介"_s, u"二、位置校准"_s, u"三、内容填写"_s, u"四、票根打印"_s,
              u"五、常见打印问题"_s, u"六、打印预览"_s, u"七、支票簿"_s, u"八、支票登记簿"_s,
              u"九、作废号码"_s, u"十、批量打印"_s, u"十一、打印日志"_s, u"十二、超出栏位的提示"_s,
              u"十三、多人共用数据库"_s, u"十四、进账单和往来单位"_s})
            QVERIFY2(guide.contains(heading), qPrintable(heading));
    }
};

QTEST_APPLESS_MAIN(TestCheque)
#include "tst_cheque.moc"
