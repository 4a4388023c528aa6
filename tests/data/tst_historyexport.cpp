#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include "ChequeFields.h"
#include "GridExport.h"
#include "HistoryExport.h"
#include "HistoryGrid.h"
#include "HistoryRecords.h"
#include "HistoryRows.h"
#include "PaymentList.h"
#include "ProgressIndicator.h"
#include "ReadBack.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "ZipArchive.h"

using namespace Qt::StringLiterals;

namespace {

bool isDate(const QString& column) {
    return column == u"Dat" || column == u"出票日期" || column == u"日期(票根)";
}

// Keeps `count` cheques with texts that writers get wrong, each print date a day after the one
// before, and returns the rows as the grid shows them in the order of keeping (without the ID,
// the running number empty).
QList<QStringList> keepCheques(TestDatabase& t, int count) {
    const QStringList awkward = {u"逗号,在中间"_s, u"引号\"在中间"_s, u"多行\r\n文字"_s,
                                 u"  前导空格"_s,  u"普通中文"_s,     u""_s};
    // Whether a slip was printed from a cheque is read from the slips: none here, so empty.
    QStringList names = historyGridNames().mid(2);
    const qsizetype slip = names.indexOf(kSlipPrintedColumn);
    names.removeAt(slip);
    QStringList quoted;
    for (const QString& name : names)
        quoted << sqlName(name);
    const QString insert = u"INSERT INTO 历史记录 ("_s + quoted.join(u',') + u") VALUES "_s;
    const QString one = u'(' + QStringList(names.size(), u"?"_s).join(u',') + u')';
    QList<QStringList> shown;
    QVariantList values;
    Transaction transaction(t.db);
    for (int i = 0; i < count; ++i) {
        QStringList row{QString()};
        for (const QString& name : names) {
            const QDate day = QDate(2006, 1, 1).addDays(i);
            QVariant value =
                isDate(name) ? QVariant(day.toString(Qt::ISODate))
                             : QVariant(awkward[(i + int(row.size())) % 6] + QString::number(i));
            if (name == u"出票日期" && i % 7 == 0)
                value = QVariant();  // not printed: no date
            // A cheque book's number: 16 digits, past what a double holds exactly.
            if (name == kHistoryNumberColumn)
                value = i % 5 == 0 ? u""_s : QString::number(9010203100000001 + i);
            values << value;
            row << (value.isNull() ? QString()
                    : isDate(name) ? day.toString(u"yyyy.MM.dd"_s)
                                   : value.toString());
        }
        row.insert(slip + 1, QString());
        shown << row;
        if (values.size() == 20 * names.size() || i == count - 1) {
            const qsizetype n = values.size() / names.size();
            if (!t.db.execute(insert + QStringList(n, one).join(u','), values))
                return {};
            values.clear();
        }
    }
    transaction.commit();
    return shown;
}

// The rows in this order, numbered from 1, after the heading row.
QList<QStringList> numbered(const QStringList& headings, QList<QStringList> rows) {
    for (qsizetype r = 0; r < rows.size(); ++r)
        rows[r][0] = QString::number(r + 1);
    rows.prepend(headings.mid(1));
    return rows;
}

}  // namespace

class TestHistoryExport : public QObject {
    Q_OBJECT

private:
    const Clock m_clock = testClock();
    ProgressIndicator m_progress{m_clock};

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }

    // 10,000 cheques, streamed from the database as they are written: the verb's workbook in the
    // order of keeping, and the window's CSV sorted by the print date, newest first, with the
    // heading's sort marker. Both read back row for row as the grid shows the rows.
    void largeHistoryReadsBackRowForRow() {
        TestDatabase t;
        const QList<QStringList> kept = keepCheques(t, 10000);
        QCOMPARE(kept.size(), 10000);

        const QString xlsx = t.dir.filePath(u"history.xlsx"_s);
        QVERIFY(exportHistoryToFile(t.db, HistoryOrder{}, historyGridHeadings(), xlsx, t.prompts,
                                    m_progress));
        QVERIFY(t.prompts.shown().empty());
        QCOMPARE(m_progress.state().percent, u"100%"_s);
        const QJsonObject workbook = readBack({u"xlsx"_s, xlsx});
        const QList<QStringList> expected = numbered(historyGridHeadings(), kept);
        // The workbook's dates are dates, which read back as yyyy-mm-dd.
        QList<QStringList> withDates = expected;
        for (qsizetype r = 1; r < withDates.size(); ++r)
            for (qsizetype c = 1; c < historyGridNames().size(); ++c)
                if (isHistoryDateColumn(historyGridNames()[c]))
                    withDates[r][c - 1].replace(u'.', u'-');
        QCOMPARE(rowsOf(workbook), withDates);
        QCOMPARE(expected[0].last(), u"支票号码"_s);
        QCOMPARE(expected[2].last(), u"9010203100000002"_s);
        // The heading row bold on its fill, every cell of the block bordered, also the last.
        const QJsonObject styles = workbook[u"styles"].toObject();
        for (const QString& cell : {u"A1"_s, u"Q1"_s, u"A2"_s, u"Q10001"_s}) {
            const QJsonObject style = styles[cell].toObject();
            QVERIFY2(style[u"border"].toBool(), qPrintable(cell));
            QCOMPARE(style[u"bold"].toBool(), cell.endsWith(u'1') && cell.size() == 2);
        }
        QCOMPARE(styles[u"B1"][u"fill"].toString(), u"FFFFC080"_s);
        // Measured widths: the widest text, a Chinese character counting two, plus two.
        const QJsonObject widths = workbook[u"widths"].toObject();
        QCOMPARE(int(widths[u"1"].toDouble()), 7);   // "10000"
        QCOMPARE(int(widths[u"2"].toDouble()), 12);  // "2006.01.01" and "打印时间"

        // The window: sorted by the print date, newest first.
        const QString csv = t.dir.filePath(u"sorted"_s);
        QStringList headings = historyGridHeadings();
        headings[2] += u"▽"_s;
        t.prompts.queueText(csv);
        t.prompts.queueFilter(0);
        QVERIFY(chooseFileAndExportHistory(t.db, HistoryOrder{2, true}, headings, {},
                                           kTestNow.date(), t.prompts, m_progress));
        QCOMPARE(t.prompts.shown().size(), size_t(2));  // the dialog, then where the rows went
        QCOMPARE(t.prompts.shown()[1].text,
                 u"已导出 10,000 行到 "_s + QDir::toNativeSeparators(csv + u".csv"_s));
        // The CSV's texts as the grid shows them; the headings without the sort marker.
        QList<QStringList> newestFirst(kept.rbegin(), kept.rend());
        QCOMPARE(rowsOf(readBack({u"csv"_s, csv + u".csv"_s, u"utf-8"_s})),
                 numbered(historyGridHeadings(), newestFirst));
        // Read as a payment list, the export is taken: the number, like the running number,
        // fills no field and is named among the unknown columns.
        QString error;
        const std::optional<PaymentList> list = readPaymentListFile(csv + u".csv"_s, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->rows.size(), 10000);
        QCOMPARE(list->headings.last(), u"支票号码"_s);
        QCOMPARE(list->columns.last(), PaymentList::kUnknown);
        QVERIFY(list->unknownHeadings.contains(u"支票号码"_s));
    }

    // The window's export: the dialog proposes 历史记录-YYYYMMDD.xlsx of the program's day, in
    // the folder of the last export once there was one (payment lists keep a folder of their
    // own); the workbook has the headings without the sort marker, the exact amount as a
    // number (an odd amount text as it was), dates as dates and the grid's widths, widened
    // where a number needs it; the message says how many rows went where.
    void windowExportProposesRemembersAndSays() {
        TestDatabase t;
        QCOMPARE(keepCheques(t, 1233).size(), 1233);
        QVERIFY(t.db.execute(u"INSERT INTO 历史记录 (Dat, 出票日期, 金额, "_s +
                             sqlName(u"金额(票根)"_s) +
                             u") VALUES ('2026-12-08', '2026-12-09', '1234.50', '约1234.5元')"_s));
        QSettings settings(t.dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        t.prompts.rememberFoldersIn(&settings);
        QStringList headings = historyGridHeadings();
        headings[2] += u"▽"_s;  // newest first: the cheque just kept leads
        const std::vector<int> widths(size_t(headings.size()), 1230);  // ten characters
        QVERIFY(QDir(t.dir.path()).mkdir(u"导出"_s));
        const QString folder = t.dir.filePath(u"导出"_s);
        const QString proposed = u"历史记录-20261208.xlsx"_s;
        for (const QString& name : {u"历史.xlsx"_s, u"历史.csv"_s}) {
            const QString path = QDir(folder).filePath(name);
            t.prompts.clear();
            t.prompts.queueText(path);
            QVERIFY(chooseFileAndExportHistory(t.db, HistoryOrder{2, true}, headings, widths,
                                               kTestNow.date(), t.prompts, m_progress));
            const std::vector<ScriptedPrompts::Shown> shown = t.prompts.shown();
            QCOMPARE(shown.size(), size_t(2));
            QCOMPARE(shown[0].kind, ScriptedPrompts::Kind::SaveFile);
            // The first time in no folder of its own (the documents folder), then in the last.
            QCOMPARE(shown[0].title,
                     name.endsWith(u"xlsx"_s) ? proposed : QDir(folder).filePath(proposed));
            QCOMPARE(shown[1].text, u"已导出 1,234 行到 "_s + QDir::toNativeSeparators(path));
        }
        // Payment lists open in a folder of their own, kept apart from the exports'.
        t.prompts.clear();
        t.prompts.queueText(t.dir.filePath(u"清单.csv"_s));
        QCOMPARE(t.prompts.openFile(FilePurpose::PaymentList, u"选择付款清单"_s, {}),
                 t.dir.filePath(u"清单.csv"_s));
        QCOMPARE(t.prompts.shown()[0].title, QString());
        t.prompts.openFile(FilePurpose::PaymentList, u"选择付款清单"_s, {});
        QCOMPARE(t.prompts.shown()[1].title, t.dir.path());

        const QJsonObject workbook = readBack({u"xlsx"_s, QDir(folder).filePath(u"历史.xlsx"_s)});
        const QList<QStringList> rows = rowsOf(workbook);
        QCOMPARE(rows.size(), 1235);
        QCOMPARE(rows[0], historyGridHeadings().mid(1));
        const QStringList& names = historyGridNames();
        auto cell = [&](const QString& column) {  // the newest row's cell of the column
            return ColumnLetters(qint32(names.indexOf(column))) + u'2';
        };
        const QJsonObject styles = workbook[u"styles"].toObject();
        const QJsonObject widthsRead = workbook[u"widths"].toObject();
        struct Expected {
            QString column, text, type, format;
            int width;
        };
        for (const Expected& e : {
                 Expected{u"金额"_s, u"1234.5"_s, u"n"_s, u"\"￥\"#,##0.00"_s, 12},
                 // widened by the figures of older rows ("1229")
                 Expected{u"金额(票根)"_s, u"约1234.5元"_s, u"inlineStr"_s, QString(), 12},
                 Expected{u"Dat"_s, u"2026-12-08"_s, u"n"_s, u"yyyy-mm-dd"_s, 12},
                 Expected{u"出票日期"_s, u"2026-12-09"_s, u"n"_s, u"yyyy-mm-dd"_s, 12},
                 Expected{u"收款人全称"_s, QString(), u"n"_s, QString(), 10},  // blank
             }) {
            const qsizetype c = names.indexOf(e.column);
            QVERIFY2(c > 1, qPrintable(e.column));
            QCOMPARE(rows[1][c - 1], e.text);
            QCOMPARE(styles[cell(e.column)][u"type"].toString(), e.type);
            QCOMPARE(styles[cell(e.column)][u"format"].toString(), e.format);
            QCOMPARE(int(widthsRead[QString::number(c)].toDouble()), e.width);
        }
        // The CSV keeps the texts as the grid shows them.
        const QList<QStringList> csv =
            rowsOf(readBack({u"csv"_s, QDir(folder).filePath(u"历史.csv"_s), u"utf-8"_s}));
        QCOMPARE(csv[0], historyGridHeadings().mid(1));
        QCOMPARE(csv[1][names.indexOf(u"金额"_s) - 1], u"1234.50"_s);
        QCOMPARE(csv[1][1], u"2026.12.08"_s);
    }

    // Texts that the CSV export keeps from running as formulas, and texts that look like the
    // workbook XML's escapes, read back from either file, as the payment list of a batch,
    // exactly as they were typed. What the file holds: the CSV's guarding quote, the workbook's
    // escaped underscore, which another reader shows as typed too.
    void exportReadsBackAsTyped_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written");  // in the CSV file or the workbook's sheet
        // The first row: its number, the print date, no issue date, then the payee guarded
        // and, eight commas on, the stub's payee.
        QTest::newRow("CSV") << u"h.csv"_s
                             << "\r\n1,2026.12.01,,'+1+1" + QByteArray(8, ',') + "'+1+1" +
                                    QByteArray(6, ',') + "\r\n";
        QTest::newRow("workbook") << u"h.xlsx"_s << "<t>_x005F_x0041_</t>"_ba;
    }
    void exportReadsBackAsTyped() {
        QFETCH(QString, name);
        QFETCH(QByteArray, written);
        const QStringList typed = {u"+1+1"_s, u"@SUM(1)"_s,  u"=x"_s,           u"-5"_s,
                                   u" =1"_s,  u"\u3000=1"_s, u"'=x"_s,          u"''+1"_s,
                                   u"\r=1"_s, u"\t=1"_s,     u"_x0041_"_s,      u"'abc"_s,
                                   u"'"_s,    u"a_x0041_"_s, u"_x005F_x0041_"_s};
        TestDatabase t;
        for (const QString& text : typed)
            QVERIFY(t.db.execute(u"INSERT INTO 历史记录 (Dat, 收款人全称, "_s +
                                     sqlName(u"收款人(票根)"_s) +
                                     u") VALUES ('2026-12-01', ?, ?)"_s,
                                 {text, text}));
        const QString path = t.dir.filePath(name);
        QVERIFY(exportHistoryToFile(t.db, HistoryOrder{}, historyGridHeadings(), path, t.prompts,
                                    m_progress));
        QString error;
        const std::optional<PaymentList> list = readPaymentListFile(path, &error);
        QVERIFY2(list, qPrintable(error));
        const qsizetype payee = list->columns.indexOf(Field::Payee);
        const qsizetype stubPayee = list->columns.indexOf(Field::StubPayee);
        QVERIFY(payee >= 0 && stubPayee >= 0);
        QStringList payees;
        QStringList stubPayees;
        for (const PaymentList::Row& row : list->rows) {
            payees << row.cells[payee];
            stubPayees << row.cells[stubPayee];
        }
        QCOMPARE(payees, typed);
        QCOMPARE(stubPayees, typed);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (name.endsWith(u"csv"_s)) {
            QVERIFY2(file.readAll().contains(written), written.constData());
            return;
        }
        const ZipArchive workbook(file);
        const std::unique_ptr<ZipPart> sheet = workbook.part(u"xl/worksheets/sheet1.xml"_s);
        QVERIFY(sheet && sheet->isOpen());
        const QByteArray xml = sheet->readAll();
        QVERIFY2(xml.contains(written), written.constData());
        QVERIFY(!xml.contains("<f>"));  // texts are string cells, never formulas
        QList<QStringList> shown = rowsOf(readBack({u"xlsx"_s, path}));
        shown.removeFirst();
        for (qsizetype r = 0; r < shown.size(); ++r)
            QCOMPARE(shown[r][3], typed[r]);
    }

    // A workbook holds 1,048,575 rows below its heading: a longer history is refused before
    // anything is written, in the window after the dialog and without the overwrite question.
    // CSV has no such limit.
    void worksheetRowLimit_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");  // empty when the file is written
        QTest::newRow("as many rows as a sheet holds") << 3 << u"x.xlsx"_s << QString();
        QTest::newRow("one row more: refused, CSV suggested")
            << 4 << u"x.xlsx"_s << u"记录共4行，超过Excel工作表的上限3行，请导出为CSV文件。"_s;
        QTest::newRow("CSV has no limit") << 4 << u"x.csv"_s << QString();
        QTest::newRow("no rows") << 0 << u"x.xlsx"_s << u"表格中没有数据！"_s;
    }
    void worksheetRowLimit() {
        QFETCH(int, rows);
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestDatabase t;
        keepCheques(t, rows);
        const QString path = t.dir.filePath(name);
        for (const bool window : {false, true}) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
            old.close();
            t.prompts.clear();
            if (window) {
                t.prompts.queueText(path);
                t.prompts.queueAnswer(PromptAnswer::Yes);  // to the overwrite question
            }
            const bool written =
                window ? chooseFileAndExportHistory(t.db, HistoryOrder{}, historyGridHeadings(), {},
                                                    kTestNow.date(), t.prompts, m_progress, 3)
                       : exportHistoryToFile(t.db, HistoryOrder{}, historyGridHeadings(), path,
                                             t.prompts, m_progress, 3);
            QCOMPARE(written, message.isEmpty());
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll() == "old", !written);
            old.close();
            std::vector<ScriptedPrompts::Shown> shown = t.prompts.shown();
            if (window && rows > 0) {  // first the dialog, then the question unless refused
                QCOMPARE(shown.front().kind, ScriptedPrompts::Kind::SaveFile);
                shown.erase(shown.begin());
                if (written) {
                    QCOMPARE(shown.front().text, u"该文件已存在，是否覆盖？"_s);
                    QCOMPARE(shown.back().text, exportedMessage(rows, path));
                    shown.erase(shown.begin());
                    shown.pop_back();
                }
            }
            QCOMPARE(shown.size(), size_t(message.isEmpty() ? 0 : 1));
            if (!message.isEmpty())
                QCOMPARE(shown.front().text, message);
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryExport)
#include "tst_historyexport.moc"
