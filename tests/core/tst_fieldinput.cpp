#include <QDate>
#include <QTest>

#include "AmountCapitals.h"
#include "ChequeCheck.h"
#include "Document.h"
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
        QTest::newRow("amount takes everything, refused when left")
            << 5 << u"￥1,2a万"_s << u"￥1,2a万"_s;
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
            if (acceptsCharacter(transferCheque(), field, c.unicode()))
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
        QTest::newRow("拾 alone is month ten") << 1 << u"拾"_s << u"拾"_s << u"10"_s << false;
        QTest::newRow("拾贰 is month twelve") << 1 << u"拾贰"_s << u"拾贰"_s << u"12"_s << false;
        QTest::newRow("叁拾壹 is day 31") << 2 << u"叁拾壹"_s << u"叁拾壹"_s << u"31"_s << false;
        QTest::newRow("拾拾 is no number") << 1 << u"拾拾"_s << u"拾拾"_s << u"OLD"_s << true;
        QTest::newRow("贰贰贰 is no month") << 1 << u"贰贰贰"_s << u"贰贰贰"_s << u"OLD"_s << true;
        QTest::newRow("a sign is no date") << 2 << u"-5"_s << u"-5"_s << u"OLD"_s << true;
    }
    void leavingADatePart() {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stub);
        QFETCH(bool, error);
        Document cheque;
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

    // An amount is taken exactly or refused with its reason: never cut, rounded or read in part.
    void leavingTheAmount_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("figures");  // empty: refused for `reason`
        QTest::addColumn<QString>("reason");
        const QString notAnAmount = u"不是有效的金额"_s;
        const QString tooManyDecimals = u"小数超过两位"_s;
        const QString tooManyDigits = u"整数超过八位"_s;
        QTest::newRow("normalised") << u"1234.5"_s << u"￥1234.50"_s << QString();
        QTest::newRow("empty is zero") << u""_s << u"￥0.00"_s << QString();
        QTest::newRow("yen, thousands and blanks")
            << u" ￥ 1,234.5 "_s << u"￥1234.50"_s << QString();
        QTest::newRow("a blank inside") << u"100 200"_s << QString() << notAnAmount;
        QTest::newRow("a blank after the point") << u"1,234. 5"_s << QString() << notAnAmount;
        QTest::newRow("its own figure form") << u"￥1234.56"_s << u"￥1234.56"_s << QString();
        QTest::newRow("a point first or last") << u".5"_s << u"￥0.50"_s << QString();
        QTest::newRow("a point last") << u"12."_s << u"￥12.00"_s << QString();
        QTest::newRow("eight integer digits")
            << u"99999999.99"_s << u"￥99999999.99"_s << QString();
        QTest::newRow("full-width digits and point")
            << u"１２３．５"_s << u"￥123.50"_s << QString();
        QTest::newRow("a third decimal") << u"1234.567"_s << QString() << tooManyDecimals;
        QTest::newRow("a third decimal of five") << u"12345.675"_s << QString() << tooManyDecimals;
        QTest::newRow("decimals never cut") << u"1.999"_s << QString() << tooManyDecimals;
        QTest::newRow("万") << u"1万"_s << QString() << notAnAmount;
        QTest::newRow("a second point") << u"1234.5.6"_s << QString() << notAnAmount;
        QTest::newRow("a decimal comma") << u"12.345,67"_s << QString() << notAnAmount;
        QTest::newRow("commas not in threes") << u"12,34"_s << QString() << notAnAmount;
        QTest::newRow("a letter") << u"1a2"_s << QString() << notAnAmount;
        QTest::newRow("nine digits") << u"123456789"_s << QString() << tooManyDigits;
        QTest::newRow("one hundred million") << u"100000000"_s << QString() << tooManyDigits;
        QTest::newRow("nine digits with commas") << u"100,000,000"_s << QString() << tooManyDigits;
        QTest::newRow("minus") << u"-500"_s << QString() << notAnAmount;
        QTest::newRow("full-width minus") << u"－500"_s << QString() << notAnAmount;
        QTest::newRow("exponent") << u"1e15"_s << QString() << notAnAmount;
        QTest::newRow("exponent after a point") << u"5.E2"_s << QString() << notAnAmount;
    }
    void leavingTheAmount() {
        QFETCH(QString, typed);
        QFETCH(QString, figures);
        QFETCH(QString, reason);
        Document cheque;
        const QString before[] = {u"贰拾元整"_s, u"￥20.00"_s};
        cheque.setText(Field::AmountInCapitals, before[0]);
        cheque.setText(Field::StubAmount, before[1]);
        cheque.setText(Field::Amount, typed);
        ScriptedPrompts prompts;
        leaveBodyField(cheque, Field::Amount, prompts);
        if (figures.isEmpty()) {
            // Refused: the text stays as typed, and no trace of the previous amount is left
            // in the capitals or on the stub.
            QCOMPARE(prompts.shown().size(), size_t(1));
            QCOMPARE(prompts.shown()[0].text, u"金额填写错误（%1），请重新填写！"_s.arg(reason));
            QCOMPARE(prompts.shown()[0].title, u"错误提示"_s);
            QCOMPARE(cheque.text(Field::Amount), typed);
            QCOMPARE(cheque.text(Field::AmountInCapitals), QString());
            QCOMPARE(cheque.text(Field::StubAmount), QString());
            // Printing refuses it for the same reason, and never prints the old capitals.
            prompts.clear();
            QVERIFY(!checkChequeBeforePrint(cheque, prompts));
            QCOMPARE(prompts.shown()[0].text, u"金额填写错误（%1），请重新填写！"_s.arg(reason));
            QVERIFY(cheque.printedText(Field::AmountInCapitals).isEmpty());
        } else {
            QVERIFY(prompts.shown().empty());
            QCOMPARE(cheque.text(Field::Amount), figures);
            QCOMPARE(cheque.text(Field::AmountInCapitals), AmountToCapitals(figures));
            QCOMPARE(cheque.text(Field::StubAmount), figures);
        }
    }

    // Before the printer is touched: an amount in figure form, real dates.
    void checksBeforePrinting_data() {
        QTest::addColumn<QStringList>("texts");  // field=text
        QTest::addColumn<bool>("withStub");
        QTest::addColumn<QString>("message");  // empty: may print
        QTest::newRow("a sound cheque") << QStringList{} << true << QString();
        QTest::newRow("30 February")
            << QStringList{u"1=零贰"_s, u"2=叁拾"_s} << false << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("31 April") << QStringList{u"1=零肆"_s, u"2=叁拾壹"_s} << false
                                  << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("29 February of a leap year")
            << QStringList{u"0=贰零贰捌"_s, u"1=零贰"_s, u"2=贰拾玖"_s,
                           u"11=2028"_s,    u"12=2"_s,   u"13=29"_s}
            << true << QString();
        QTest::newRow("a year out of range")
            << QStringList{u"0=壹玖玖玖"_s} << false << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("a wrong stub date when the stub prints")
            << QStringList{u"12=13"_s} << true << u"日期填写错误，请重新填写！"_s;
        QTest::newRow("a wrong stub date that does not print")
            << QStringList{u"12=13"_s} << false << QString();
        QTest::newRow("an amount left as typed") << QStringList{u"5=123456789"_s} << false
                                                 << u"金额填写错误（整数超过八位），请重新填写！"_s;
        QTest::newRow("an amount never left")
            << QStringList{u"5=12"_s} << false << u"金额填写错误（不是有效的金额），请重新填写！"_s;
        QTest::newRow("an account grouped by blanks and dashes")
            << QStringList{u"7=6222 0202-0000 1234"_s} << false << QString();
        QTest::newRow("a purpose typed into the account")
            << QStringList{u"7=货款"_s} << false
            << u"账号填写错误（只能是数字，可用空格或横线分隔），请重新填写！"_s;
        QTest::newRow("an account with a letter in it")
            << QStringList{u"7=6222O202"_s} << false
            << u"账号填写错误（只能是数字，可用空格或横线分隔），请重新填写！"_s;
        QTest::newRow("an account of dashes only")
            << QStringList{u"7=- -"_s} << false
            << u"账号填写错误（只能是数字，可用空格或横线分隔），请重新填写！"_s;
        QTest::newRow("an amount typed into the bank")
            << QStringList{u"9=23,456.00"_s} << false
            << u"银行名称填写错误（不能只有数字或符号），请重新填写！"_s;
        QTest::newRow("a bank with a number in its name")
            << QStringList{u"9=工商银行第2支行"_s} << false << QString();
        QTest::newRow("a noncharacter in the payee")
            << QStringList{u"3=\uFFFE北京某某"_s} << false
            << u"票身-收款人中有无法保存的字符（U+FFFE），请删除后再打印！"_s;
        QTest::newRow("a byte-order mark first in the bank")
            << QStringList{u"9=\uFEFF工商银行"_s} << false
            << u"银行中有无法保存的字符（U+FEFF），请删除后再打印！"_s;
        QTest::newRow("a noncharacter of another plane on the stub")
            << QStringList{u"18=张\U0001FFFF"_s} << true
            << u"会计中有无法保存的字符（U+1FFFF），请删除后再打印！"_s;
        QTest::newRow("a lone half of a surrogate pair")
            << QStringList{u"6=货\xD800款"_s} << false
            << u"票身-用途中有无法保存的字符（U+D800），请删除后再打印！"_s;
        QTest::newRow("a byte-order mark inside, a rare character whole")
            << QStringList{u"6=货\uFEFF款𠮷"_s} << false << QString();
    }
    void checksBeforePrinting() {
        QFETCH(QStringList, texts);
        QFETCH(bool, withStub);
        QFETCH(QString, message);
        Document cheque;
        ScriptedPrompts prompts;
        enterDate(cheque, QDate(2026, 12, 8), prompts);
        cheque.setText(Field::Amount, u"1"_s);
        leaveBodyField(cheque, Field::Amount, prompts);
        cheque.setChk(Switch::PrintStub, withStub ? 1 : 0);
        for (const QString& text : texts)
            cheque.setText(text.section(u'=', 0, 0).toInt(), text.section(u'=', 1));
        QCOMPARE(checkChequeBeforePrint(cheque, prompts), message.isEmpty());
        QCOMPARE(prompts.shown().empty(), message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(prompts.shown()[0].text, message);
    }

    void aNewChequeCarriesNoSamplePayee() {
        const Document cheque;
        QVERIFY(cheque.text(Field::Payee).isEmpty());
        QCOMPARE(chequeFields()[Field::Payee].placeholder, u"北京示例科技有限公司");
    }

    void payeeAndPurposeOverwriteTheStub() {
        Document cheque;
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
        const Document before;
        for (int field : {4, 7, 8, 9}) {
            Document cheque;
            ScriptedPrompts prompts;
            leaveBodyField(cheque, field, prompts);
            for (int i = 0; i < kPrintableFieldCount; ++i)
                QCOMPARE(cheque.text(i), before.text(i));
        }
    }
};

QTEST_APPLESS_MAIN(TestFieldInput)
#include "tst_fieldinput.moc"
