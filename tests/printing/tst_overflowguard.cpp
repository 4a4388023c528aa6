// Text that will not fit on the cheque, measured by the code that prints it on the recording
// surface (a Chinese character is as wide as its font size).
#include <QTest>

#include "Document.h"
#include "FieldInput.h"
#include "FormatStore.h"
#include "OverflowGuard.h"
#include "ProgressIndicator.h"
#include "RecordingSurface.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kFormat = u"标准支票"_s;

QString characters(int count) {
    return QString(count, u'字');
}

}  // namespace

class TestOverflowGuard : public QObject {
    Q_OBJECT

private slots:
    void fieldsThatDoNotFit_data() {
        QTest::addColumn<QStringList>("texts");     // field=text
        QTest::addColumn<QStringList>("settings");  // SQL run on the format first
        QTest::addColumn<bool>("stub");
        QTest::addColumn<QString>("overflowing");
        QTest::newRow("a sound cheque") << QStringList{} << QStringList{} << true << QString();
        // The payee's blank runs from 22 to 110 mm: 20 characters of 12 points (4.23 mm) fit.
        QTest::newRow("20 characters of payee fit")
            << QStringList{u"3="_s + characters(20)} << QStringList{} << true << QString();
        QTest::newRow("20 characters outside the BMP fit, as 20 of the rest do")
            << QStringList{u"3="_s + QString(u"𠮷"_s).repeated(20)} << QStringList{} << true
            << QString();
        QTest::newRow("21 characters of payee do not")
            << QStringList{u"3="_s + characters(21)} << QStringList{} << true << u"票身-收款人"_s;
        QTest::newRow("a large font")
            << QStringList{u"3="_s + characters(13)}
            << QStringList{u"UPDATE 支票格式 SET fSize=20 WHERE CtlDF='票身-收款人'"_s} << true
            << u"票身-收款人"_s;
        QTest::newRow("wide spacing")
            << QStringList{u"3="_s + characters(15)}
            << QStringList{u"UPDATE 支票格式 SET S=2 WHERE CtlDF='票身-收款人'"_s} << true
            << u"票身-收款人"_s;
        QTest::newRow("a field moved by the format moves its blank too")
            << QStringList{u"3="_s + characters(20)}
            << QStringList{u"UPDATE 支票格式 SET X=X+5 WHERE CtlDF='票身-收款人'"_s} << true
            << QString();
        QTest::newRow("past the body's edge")
            << QStringList{u"9=工商银行"_s}
            << QStringList{u"UPDATE 支票格式 SET X=165 WHERE CtlDF='银行'"_s} << true << u"银行"_s;
        QTest::newRow("a suppressed field never overflows")
            << QStringList{u"3="_s + characters(30), u"chk3"_s} << QStringList{} << true
            << QString();
        QTest::newRow("the stub payee, printed")
            << QStringList{u"14="_s + characters(12)} << QStringList{} << true << u"票根-收款人"_s;
        QTest::newRow("the stub payee, not printed")
            << QStringList{u"14="_s + characters(12)} << QStringList{} << false << QString();
        QTest::newRow("more than the eleven boxes")
            << QStringList{u"5=￥123456789.00"_s} << QStringList{} << true << u"小写金额"_s;
        QTest::newRow("two at once, in field order")
            << QStringList{u"9="_s + characters(14), u"3="_s + characters(25)} << QStringList{}
            << true << u"票身-收款人、银行"_s;
    }
    void fieldsThatDoNotFit() {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, settings);
        QFETCH(bool, stub);
        QFETCH(QString, overflowing);
        TestDatabase t;
        for (const QString& sql : settings)
            QVERIFY(t.db.execute(sql));
        Document cheque;
        ScriptedPrompts prompts;
        enterDate(cheque, QDate(2026, 12, 8), prompts);
        cheque.setText(Field::Amount, u"12345.6"_s);
        leaveBodyField(cheque, Field::Amount, prompts);
        cheque.setChk(Switch::PrintStub, stub ? 1 : 0);
        for (const QString& text : texts) {
            if (text.startsWith(u"chk"))
                cheque.setChk(text.mid(3).toInt(), 1);
            else
                cheque.setText(text.section(u'=', 0, 0).toInt(), text.section(u'=', 1));
        }
        // The fields carry the format's fonts, as in the window and the print verb.
        const Clock clock = testClock();
        ProgressIndicator progress(clock);
        ApplyFormatFonts(t.db, kFormat, cheque, progress);
        RecordingSurface surface;
        const std::optional<PrintFormat> format = loadPrintFormat(t.db, kFormat);
        QVERIFY(format);
        QCOMPARE(fieldIdentifiers(cheque.kind(), findOverflowingFields(cheque, *format, surface)),
                 overflowing);
        QVERIFY(surface.texts().empty());  // measured, never drawn
    }
};

QTEST_GUILESS_MAIN(TestOverflowGuard)
#include "tst_overflowguard.moc"
