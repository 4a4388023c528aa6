#include <QTest>

#include "Cheque.h"
#include "FieldInput.h"
#include "ScriptedPrompts.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDateError = u"日期填写错误，请重新填写！"_s;

}  // namespace

class TestFieldInput : public QObject {
    Q_OBJECT

private slots:
    void typedCharacters_data() {
        QTest::addColumn<int>("field");  // position index
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("date takes digits, capitals and 拾")
            << 0 << u"2009零壹拾"_s << u"2009零壹拾"_s;
        QTest::newRow("date drops the point") << 1 << u"1.2"_s << u"12"_s;
        QTest::newRow("date keeps the other numeric characters") << 2 << u"-%'"_s << u"-%'"_s;
        QTest::newRow("date drops letters and blanks") << 2 << u"a 5日"_s << u"5"_s;
        QTest::newRow("amount takes the point") << 5 << u"12.50"_s << u"12.50"_s;
        QTest::newRow("amount drops yen, commas and letters") << 5 << u"￥1,2a"_s << u"12"_s;
        QTest::newRow("payee takes everything") << 3 << u"公司 A.1"_s << u"公司 A.1"_s;
        QTest::newRow("capital amount takes everything") << 4 << u"壹元"_s << u"壹元"_s;
        QTest::newRow("stub date takes numeric characters only") << 11 << u"20a.9"_s << u"20.9"_s;
        QTest::newRow("stub payee takes everything") << 14 << u"公司.x"_s << u"公司.x"_s;
        QTest::newRow("additional information takes everything") << 10 << u"附 1"_s << u"附 1"_s;
    }
    void typedCharacters() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QString result;
        for (QChar c : typed) {
            const bool accepted = field < kBodyFieldCount
                                      ? acceptsBodyCharacter(field, c.unicode())
                                      : acceptsStubCharacter(field - kBodyFieldCount, c.unicode());
            if (accepted)
                result += c;
        }
        QCOMPARE(result, kept);
    }

    void numericKeyFilterPassesExactlyItsSet() {
        QString passed;
        for (char16_t c = 0; c < 0x3000; ++c)
            if (NumericKeyFilter(c))
                passed += QChar(c);
        QCOMPARE(passed, QString(QChar(8)) + u"%'-.0123456789"_s);
    }

    void leavingADatePart_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");  // the field afterwards
        QTest::addColumn<QString>("stub");   // its stub field afterwards
        QTest::addColumn<bool>("error");
        QTest::newRow("year in digits becomes capitals")
            << 0 << u"2009"_s << u"贰零零玖"_s << u"2009"_s << false;
        QTest::newRow("month in capitals stays as typed")
            << 1 << u"壹拾贰"_s << u"壹拾贰"_s << u"12"_s << false;
        QTest::newRow("day 31 is accepted whatever the month")
            << 2 << u"31"_s << u"叁拾壹"_s << u"31"_s << false;
        QTest::newRow("month with leading zero") << 1 << u"05"_s << u"零伍"_s << u"5"_s << false;
        QTest::newRow("day ten") << 2 << u"10"_s << u"零壹拾"_s << u"10"_s << false;
        QTest::newRow("blanks around are ignored") << 2 << u" 7 "_s << u"零柒"_s << u"7"_s << false;
        QTest::newRow("lowest year") << 0 << u"2000"_s << u"贰零零零"_s << u"2000"_s << false;
        QTest::newRow("highest year") << 0 << u"3000"_s << u"叁零零零"_s << u"3000"_s << false;
        QTest::newRow("month 13 is wrong") << 1 << u"13"_s << u"13"_s << u"OLD"_s << true;
        QTest::newRow("month 0 is wrong") << 1 << u"0"_s << u"0"_s << u"OLD"_s << true;
        QTest::newRow("day 32 is wrong") << 2 << u"32"_s << u"32"_s << u"OLD"_s << true;
        QTest::newRow("year 1999 is wrong") << 0 << u"1999"_s << u"1999"_s << u"OLD"_s << true;
        QTest::newRow("year 3001 is wrong") << 0 << u"3001"_s << u"3001"_s << u"OLD"_s << true;
        QTest::newRow("empty date part is wrong") << 2 << u""_s << u""_s << u"OLD"_s << true;
        QTest::newRow("capital month 零 is wrong") << 1 << u"零"_s << u"零"_s << u"OLD"_s << true;
    }
    void leavingADatePart() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stub);
        QFETCH(bool, error);
        Cheque cheque;
        const int stubIndex = stubField(field + 1);
        cheque.setText(stubIndex, u"OLD"_s);
        cheque.setText(field, typed);
        ScriptedPrompts prompts;
        leaveBodyField(cheque, field, prompts);
        QCOMPARE(cheque.text(field), shown);
        QCOMPARE(cheque.text(stubIndex), stub);
        if (error) {
            QCOMPARE(prompts.shown().size(), size_t(1));
            const ScriptedPrompts::Shown& box = prompts.shown().front();
            QCOMPARE(box.text, kDateError);
            QCOMPARE(box.title, u"错误提示"_s);
            QCOMPARE(box.buttons, PromptButtons::Ok);
        } else {
            QVERIFY(prompts.shown().empty());
        }
    }

    void leavingTheAmountNormalisesAndCopies() {
        Cheque cheque;
        cheque.setText(5, u"1234.5"_s);
        ScriptedPrompts prompts;
        leaveBodyField(cheque, 5, prompts);
        QCOMPARE(cheque.text(5), u"￥1234.50"_s);
        QCOMPARE(cheque.text(4), u"壹仟贰佰叁拾肆元伍角整"_s);
        QCOMPARE(cheque.text(stubField(5)), u"￥1234.50"_s);

        cheque.setText(5, QString());
        leaveBodyField(cheque, 5, prompts);
        QCOMPARE(cheque.text(5), u"￥0.00"_s);
        QCOMPARE(cheque.text(4), u"零元整"_s);
        QVERIFY(prompts.shown().empty());
    }

    void payeeAndPurposeOverwriteTheStub() {
        Cheque cheque;
        cheque.setText(stubField(4), u"edited on the stub"_s);
        cheque.setText(3, u"上海某某贸易有限公司第一分公司财务部"_s);
        cheque.setText(6, u"货款"_s);
        ScriptedPrompts prompts;
        leaveBodyField(cheque, 3, prompts);
        leaveBodyField(cheque, 6, prompts);
        QCOMPARE(cheque.text(stubField(4)), cheque.text(3));  // longer than 10, kept whole
        QCOMPARE(cheque.text(stubField(6)), u"货款"_s);
    }

    void otherFieldsChangeNothing() {
        const Cheque before;
        for (int field : {4, 7, 8, 9}) {
            Cheque cheque;
            ScriptedPrompts prompts;
            leaveBodyField(cheque, field, prompts);
            for (int i = 0; i < kPrintableFieldCount; ++i)
                QCOMPARE(cheque.text(i), before.text(i));
        }
    }
};

QTEST_APPLESS_MAIN(TestFieldInput)
#include "tst_fieldinput.moc"
