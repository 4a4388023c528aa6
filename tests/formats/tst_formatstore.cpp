#include <QTest>

#include "Document.h"
#include "FormatStore.h"
#include "ProgressIndicator.h"
#include "TestClock.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDefault = u"标准支票"_s;

QStringList endorsementOf(const Document& cheque) {
    QStringList values;
    for (int i = 0; i < kEndorsementParameterCount; ++i)
        values << cheque.endorsement(i);
    return values;
}

}  // namespace

class TestFormatStore : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;
    FormatDisplays m_displays;

    QVariant stored(const QString& column, const QString& name, const QString& field) {
        return m_t->scalar(u"SELECT "_s + column + u" FROM 支票格式 WHERE Name=? AND CtlDF=?"_s,
                           {name, field});
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() {
        m_t = new TestDatabase;
        m_displays = {};
    }
    void cleanup() { delete m_t; }

    void shippedFormatIsListedAndCurrent() {
        ListFormatNames(m_t->db, m_displays);
        QCOMPARE(m_displays.formatNames, QStringList{kDefault});
        QCOMPARE(m_displays.currentFormat, kDefault);
    }

    void noFormatsLeaveAnEmptyList() {
        QVERIFY(m_t->db.execute(u"DELETE FROM 支票格式 WHERE Name<>''"_s));
        ListFormatNames(m_t->db, m_displays);
        QVERIFY(m_displays.formatNames.isEmpty());
        QCOMPARE(m_displays.currentFormat, QString());  // the stored one is gone
    }

    void missingCurrentRowIsRecreatedWithTheFirstName() {
        QVERIFY(m_t->db.execute(u"DELETE FROM 用户种类状态"_s));
        Document cheque;
        QVERIFY(SavePageSettings(m_t->db, 1, 2, 3, u"A格式"_s, cheque, m_displays));
        ListFormatNames(m_t->db, m_displays);
        QCOMPARE(m_displays.formatNames, (QStringList{u"A格式"_s, kDefault}));
        QCOMPARE(m_displays.currentFormat, u"A格式"_s);
        QCOMPARE(m_t->currentFormat(), u"A格式"_s);
        QVERIFY(SetCurrentFormat(m_t->db, kDefault));
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 用户种类状态"_s).toInt(), 1);
    }

    void namesWithQuotesAreStoredLikeAnyOther() {
        const QString name = u"O'Neil's 格式"_s;
        Document cheque;
        cheque.setEndorsement(4, u"12"_s);
        QVERIFY(SavePageSettings(m_t->db, 12, 13, 50, name, cheque, m_displays));
        QVERIFY(SetCurrentFormat(m_t->db, name));
        ListFormatNames(m_t->db, m_displays);
        QVERIFY(m_displays.formatNames.contains(name));
        QCOMPARE(m_displays.currentFormat, name);
        Document loaded;
        const std::optional<PageSettings> page =
            LoadPageSettings(m_t->db, name, loaded, m_displays);
        QVERIFY(page);
        QCOMPARE(page->x, 12.0);
        QCOMPARE(loaded.endorsement(4), u"12"_s);
        QVERIFY(m_t->prompts.shown().empty());
    }

    void endorsementTextSplitting_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("boxes");
        const QStringList defaults = {u"14"_s, u"22"_s, u"63"_s, u"0"_s, u"10"_s};
        QTest::newRow("five parts")
            << u"1 2 3 4 5"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("further parts are ignored")
            << u"1 2 3 4 5 6"_s << QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s};
        QTest::newRow("three numbers keep the defaults") << u"1 2 3"_s << defaults;
        QTest::newRow("one number without a blank keeps the defaults") << u"12345"_s << defaults;
        QTest::newRow("two adjacent blanks give an empty part")
            << u"1  3 4 5"_s << QStringList{u"1"_s, u""_s, u"3"_s, u"4"_s, u"5"_s};
    }
    void endorsementTextSplitting() {
        QFETCH(QString, stored);
        QFETCH(QStringList, boxes);
        QVERIFY(m_t->db.execute(u"UPDATE 支票格式 SET fName=? WHERE Name=? AND CtlDF=''"_s,
                                {stored, kDefault}));
        Document cheque;
        cheque.setEndorsement(0, u"typed, not saved"_s);
        LoadPageSettings(m_t->db, kDefault, cheque, m_displays);
        QCOMPARE(endorsementOf(cheque), boxes);
        // The print format that drawing reads holds the same values.
        const std::optional<PrintFormat> format = loadPrintFormat(m_t->db, kDefault);
        QVERIFY(format);
        QCOMPARE(QStringList(format->endorsement.begin(), format->endorsement.end()), boxes);
    }

    void pageSettingsOfTheShippedFormat() {
        Document cheque;
        const std::optional<PageSettings> page =
            LoadPageSettings(m_t->db, kDefault, cheque, m_displays);
        QVERIFY(page);
        QCOMPARE(page->x, 10.0);
        QCOMPARE(page->y, 10.0);
        QCOMPARE(page->s, 60.0);
        QCOMPARE(m_displays.stubWidth, u"60"_s);
        // No row is no failure: no margins, no stub.
        const std::optional<PageSettings> none =
            LoadPageSettings(m_t->db, u"没有的格式"_s, cheque, m_displays);
        QVERIFY(none);
        QCOMPARE(none->x + none->y + none->s, 0.0);
        QCOMPARE(m_displays.marginX, u"10"_s);  // the labels are not touched
    }

    void unchangedMarkersKeepStoredPageValues() {
        Document cheque;
        QVERIFY(SavePageSettings(m_t->db, std::nullopt, 12.5, std::nullopt, kDefault, cheque,
                                 m_displays));
        QCOMPARE(m_displays.marginX, u"10"_s);
        // A typed -90000 is the old marker: it is not stored either.
        QVERIFY(SavePageSettings(m_t->db, -90000, std::nullopt, std::nullopt, kDefault, cheque,
                                 m_displays));
        QCOMPARE(m_displays.marginX, u"10"_s);
        QCOMPARE(m_displays.marginY, u"12.5"_s);
        QCOMPARE(m_displays.stubWidth, u"60"_s);
        QVERIFY(SavePageSettings(m_t->db, 0, std::nullopt, 27.5, kDefault, cheque, m_displays));
        QCOMPARE(m_displays.marginX, u"0"_s);  // 0 is a value, not a marker
        QCOMPARE(m_displays.stubWidth, u"27.5"_s);
        // A new page-settings row starts from the column defaults.
        QVERIFY(
            SavePageSettings(m_t->db, std::nullopt, std::nullopt, 30, u"新"_s, cheque, m_displays));
        QCOMPARE(m_displays.marginX, u"0"_s);
        QCOMPARE(m_displays.stubWidth, u"30"_s);
        QCOMPARE(stored(u"fName"_s, u"新"_s, u""_s).toString(), u"14 22 63 0 10"_s);
    }

    // The page-settings row is created, then written: when the write fails, the new row
    // goes too.
    void interruptedSaveLeavesTheOldState() {
        QVERIFY(m_t->refuse(u"UPDATE"_s, u"支票格式"_s));
        Document cheque;
        QVERIFY(!SavePageSettings(m_t->db, 1, 2, 3, u"新格式"_s, cheque, m_displays));
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 支票格式 WHERE Name='新格式'"_s).toInt(), 0);
        QVERIFY(m_displays.marginX.isEmpty());
    }

    void fieldSettingsUpdateOnlyExistingRows() {
        Document cheque;
        TextFont font{u"黑体"_s, 14, true, true, false, true, 255};
        cheque.setFont(3, font);
        QVERIFY(UpdateFieldSettings(m_t->db, 3, cheque, kDefault, 30, std::nullopt, 0.5));
        // A typed -10000 is the old marker: it is not stored either.
        QVERIFY(
            UpdateFieldSettings(m_t->db, 3, cheque, kDefault, -10000, std::nullopt, std::nullopt));
        QCOMPARE(stored(u"X"_s, kDefault, u"票身-收款人"_s).toDouble(), 30.0);
        QCOMPARE(stored(u"Y"_s, kDefault, u"票身-收款人"_s).toDouble(), 23.0);
        QCOMPARE(stored(u"S"_s, kDefault, u"票身-收款人"_s).toDouble(), 0.5);
        QCOMPARE(stored(u"fName"_s, kDefault, u"票身-收款人"_s).toString(), u"黑体"_s);
        QCOMPARE(stored(u"Color"_s, kDefault, u"票身-收款人"_s).toInt(), 255);
        const std::optional<FieldPosition> position = storedFieldPosition(m_t->db, kDefault, 3);
        QVERIFY(position);
        QCOMPARE(QList<double>({position->x, position->y, position->s}),
                 QList<double>({30, 23, 0.5}));
        QVERIFY(m_t->db.execute(u"DELETE FROM 支票格式 WHERE CtlDF='会计'"_s));
        QVERIFY(!storedFieldPosition(m_t->db, kDefault, 18));
        QVERIFY(!UpdateFieldSettings(m_t->db, 18, cheque, kDefault, 1, 2, 3));
        QCOMPARE(m_t->scalar(u"SELECT count(*) FROM 支票格式 WHERE CtlDF='会计'"_s).toInt(), 0);
    }

    void formatFontsReachTheFields() {
        QVERIFY(
            m_t->db.execute(u"UPDATE 支票格式 SET fName='楷体', fSize=15, fBold=TRUE, Color=128 "
                            u"WHERE CtlDF='票身-用途'"_s));
        QVERIFY(m_t->db.execute(u"DELETE FROM 支票格式 WHERE CtlDF='密码'"_s));
        Document cheque;
        const TextFont untouched{u"仿宋"_s, 9, false, false, true, false, 7};
        cheque.setFont(8, untouched);
        const Clock clock = testClock();
        ProgressIndicator progress(clock);
        ApplyFormatFonts(m_t->db, kDefault, cheque, progress);
        QCOMPARE(cheque.font(6), (TextFont{u"楷体"_s, 15, true, false, false, false, 128}));
        QCOMPARE(cheque.font(8), untouched);  // no row: keeps its font
        QCOMPARE(cheque.font(4).size, 11.0);
        QCOMPARE(cheque.font(10).size, 10.0);
        QCOMPARE(progress.done(), kPrintableFieldCount);
    }
};

QTEST_GUILESS_MAIN(TestFormatStore)
#include "tst_formatstore.moc"
