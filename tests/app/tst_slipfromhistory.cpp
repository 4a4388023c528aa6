// A deposit slip printed from the command line, filled from a transfer cheque printed and kept
// before it on a cheque book's number.
#include <QTest>

#include "ChequeGeometry.h"
#include "DocumentKind.h"
#include "PdfWords.h"
#include "ProgramRun.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

class TestSlipFromHistory : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    ProgramRun run(const QStringList& arguments) {
        return runProgram(arguments + QStringList{u"--database"_s, m_t->path()});
    }
    // Prints a transfer cheque to the payee from the company's account and keeps it; its row.
    qint64 keptCheque(const QString& payee) {
        const ProgramRun printed =
            run({u"print"_s, u"--pdf"_s, m_t->dir.filePath(u"cheque.pdf"_s), u"--save"_s,
                 u"--field"_s, u"票身-收款人="_s + payee, u"--field"_s, u"小写金额=1234.50"_s,
                 u"--field"_s, u"账号=310066001"_s, u"--field"_s, u"银行=工商银行上海分行"_s});
        if (printed.exitCode != 0)
            qWarning("%s", printed.err.constData());
        return printed.exitCode == 0
                   ? m_t->scalar(u"SELECT max(ID) FROM 历史记录 WHERE 种类='转账支票'"_s)
                         .toLongLong()
                   : 0;
    }
    // The history verb's lines of the kind, each cell by its heading.
    QList<QHash<QString, QString>> history(const QString& kind) {
        const ProgramRun listed = run({u"history"_s, u"--kind"_s, kind});
        const QStringList lines = QString::fromUtf8(listed.out).split(u'\n', Qt::SkipEmptyParts);
        QList<QHash<QString, QString>> rows;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QHash<QString, QString> row;
            const QStringList headings = lines[0].split(u'\t'), cells = lines[i].split(u'\t');
            for (qsizetype c = 0; c < headings.size(); ++c)
                row.insert(headings[c], cells.value(c));
            rows << row;
        }
        return rows;
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void slipFilledFromAKeptCheque() {
        // The company's account with its name to print, a payee with its account, a book.
        for (const QStringList& setUp :
             {QStringList{u"payee"_s, u"add"_s, u"上海甲贸易有限公司"_s, u"--account"_s,
                          u"310066001"_s, u"--bank"_s, u"工商银行上海分行"_s, u"--print-name"_s,
                          u"上海甲贸易"_s, u"--own"_s},
              {u"payee"_s, u"add"_s, u"北京乙科技有限公司"_s, u"--account"_s, u"110077002"_s,
               u"--bank"_s, u"建设银行北京分行"_s},
              {u"book"_s, u"add"_s, u"310066001"_s, u"1"_s, u"25"_s, u"--prefix"_s,
               u"10203040"_s}}) {
            const ProgramRun done = run(setUp);
            QVERIFY2(done.exitCode == 0, done.err.constData());
        }
        const qint64 cheque = keptCheque(u"北京乙科技有限公司"_s);
        QVERIFY(cheque > 0);
        QCOMPARE(history(u"转账支票"_s).value(0).value(u"支票号码"_s), u"1020304000000001"_s);
        QCOMPARE(history(u"转账支票"_s).value(0).value(u"进账单"_s), QString());

        const QString pdf = m_t->dir.filePath(u"slip.pdf"_s);
        const ProgramRun printed = run({u"print"_s, u"--kind"_s, u"进账单"_s, u"--from-history"_s,
                                        QString::number(cheque), u"--pdf"_s, pdf, u"--save"_s});
        QVERIFY2(printed.exitCode == 0, printed.err.constData());

        // Every field on the paper, inside its place.
        const QDate today = QDate::currentDate();
        QStringList expected = {QString::number(today.year()),
                                QString::number(today.month()),
                                QString::number(today.day()),
                                u"上海甲贸易"_s,
                                u"310066001"_s,
                                u"工商银行上海分行"_s,
                                u"北京乙科技有限公司"_s,
                                u"110077002"_s,
                                u"建设银行北京分行"_s,
                                u"壹仟贰佰叁拾肆元伍角整"_s,
                                u"转账支票"_s,
                                u"1"_s,
                                u"1020304000000001"_s};
        expected << u"￥"_s << u"1"_s << u"2"_s << u"3"_s << u"4"_s << u"5"_s << u"0"_s;
        const QList<std::pair<QString, QRectF>> words = pdfWords(pdf);
        QStringList printedWords;
        for (const auto& [word, box] : words)
            printedWords << word;
        std::ranges::sort(printedWords);
        std::ranges::sort(expected);
        QCOMPARE(printedWords, expected);
        QList<QRectF> places;
        for (const ChequeGeometry::Place& place : ChequeGeometry::of(depositSlip()).places)
            places << place.rect;
        QCOMPARE(wordsOutside(words, places), QStringList());

        // The slip names its cheque; the cheque's row says its slip was printed.
        QCOMPARE(m_t->rows(u"SELECT 来源ID, 票据号码 FROM 历史记录 WHERE 种类='进账单'"_s),
                 u"%1/1020304000000001"_s.arg(cheque));
        const QList<QHash<QString, QString>> cheques = history(u"转账支票"_s);
        QCOMPARE(cheques.size(), 1);
        QCOMPARE(cheques[0].value(u"ID"_s), QString::number(cheque));
        QCOMPARE(cheques[0].value(u"进账单"_s), u"已打印"_s);
        QCOMPARE(history(u"进账单"_s).value(0).value(u"出票人"_s), u"上海甲贸易"_s);

        // A payee whose account nobody knows: the slip is refused naming the field, before the
        // printer; --field fills it in. Another kind, or a row that is no cheque, is refused.
        const qint64 unknown = keptCheque(u"丙公司"_s);
        QVERIFY(unknown > 0);
        const QString refusedPdf = m_t->dir.filePath(u"refused.pdf"_s);
        const ProgramRun refused =
            run({u"print"_s, u"--kind"_s, u"进账单"_s, u"--from-history"_s,
                 QString::number(unknown), u"--pdf"_s, refusedPdf, u"--save"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("请填写收款人账号。"), refused.err.constData());
        QVERIFY(!QFile::exists(refusedPdf));
        QCOMPARE(
            m_t->rows(u"SELECT count(*) FROM 打印日志 WHERE 种类='进账单' AND 结果='已打印'"_s),
            u"1"_s);
        QCOMPARE(m_t->rows(u"SELECT count(*) FROM 历史记录 WHERE 种类='进账单'"_s), u"1"_s);
        const ProgramRun completed =
            run({u"print"_s, u"--kind"_s, u"进账单"_s, u"--from-history"_s,
                 QString::number(unknown), u"--pdf"_s, refusedPdf, u"--save"_s, u"--field"_s,
                 u"收款人账号=440099"_s, u"--field"_s, u"收款人开户银行=农业银行"_s});
        QVERIFY2(completed.exitCode == 0, completed.err.constData());
        QCOMPARE(m_t->rows(u"SELECT 来源ID, 收款人账号 FROM 历史记录 WHERE 种类='进账单' AND "
                           u"收款人全称='丙公司'"_s),
                 u"%1/440099"_s.arg(unknown));

        const ProgramRun otherKind =
            run({u"print"_s, u"--from-history"_s, QString::number(cheque), u"--pdf"_s, refusedPdf});
        QCOMPARE(otherKind.exitCode, 2);
        QVERIFY2(otherKind.err.startsWith("chequeprint: --from-history 只能用于进账单"),
                 otherKind.err.constData());
        const qint64 slip =
            m_t->scalar(u"SELECT min(ID) FROM 历史记录 WHERE 种类='进账单'"_s).toLongLong();
        const ProgramRun noCheque = run({u"print"_s, u"--kind"_s, u"进账单"_s, u"--from-history"_s,
                                         QString::number(slip), u"--pdf"_s, refusedPdf});
        QCOMPARE(noCheque.exitCode, 1);
        QCOMPARE(QString::fromUtf8(noCheque.err),
                 u"chequeprint: 第%1条历史记录不是转账支票\n"_s.arg(slip));
    }
};

QTEST_MAIN(TestSlipFromHistory)
#include "tst_slipfromhistory.moc"
