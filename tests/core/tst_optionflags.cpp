#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "Document.h"
#include "OptionFlags.h"
#include "RegText.h"

using namespace Qt::StringLiterals;

namespace {

struct Switches {
    bool crosswise;
    QList<int> chk;
};

Switches switchesOf(const Document& cheque) {
    Switches s{cheque.crosswise(), {}};
    for (int i = 0; i < kCheckBoxCount; ++i)
        s.chk << cheque.chk(i);
    return s;
}

}  // namespace

class TestOptionFlags : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString iniPath(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void applyStoredText_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("crosswise");
        QTest::addColumn<QList<int>>("chk");
        QTest::newRow("default text")
            << u"1;0;0;0;0;0;0;0;1;0;"_s << true << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("lengthwise, date suppressed, stub hidden, guides close in")
            << u"0;1;1;1;0;0;0;0;0;1;"_s << false << QList<int>{1, 1, 1, 0, 0, 0, 0, 0, 1};
        QTest::newRow("short text: stored month and day win, later boxes keep design")
            << u"1;1;0;0;"_s << true << QList<int>{1, 0, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("first part 2 is lengthwise")
            << u"2;0;0;0;0;0;0;0;1;0;"_s << false << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("unreadable numbers count as 0")
            << u"x;a;1;b;"_s << false << QList<int>{0, 1, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("value a box cannot hold leaves it unchanged")
            << u"1;0;0;0;7;0;0;0;-1;0;"_s << true << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("greyed value 2 is held")
            << u"1;0;0;0;2;"_s << true << QList<int>{0, 0, 0, 2, 0, 0, 0, 1, 0};
        QTest::newRow("values are rounded to whole numbers")
            << u"1;0.4;1.2;0;"_s << true << QList<int>{0, 1, 0, 0, 0, 0, 0, 1, 0};
        QTest::newRow("first value 1.5 is not exactly 1")
            << u"1.5;"_s << false << QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0};
    }
    void applyStoredText() {
        QFETCH(QString, stored);
        QFETCH(bool, crosswise);
        QFETCH(QList<int>, chk);
        Document cheque;
        applyOptionFlags(cheque, stored);
        const Switches s = switchesOf(cheque);
        QCOMPARE(s.crosswise, crosswise);
        QCOMPARE(s.chk, chk);
        QCOMPARE(cheque.stubVisible(), chk[7] != 0);
    }

    void buildsTheTextOfTheSwitches() {
        Document cheque;
        QCOMPARE(optionFlagsText(cheque), kDefaultOptionFlags.toString());
        cheque.setCrosswise(false);
        cheque.setChk(0, 1);
        cheque.setChk(7, 0);
        cheque.setChk(8, 1);
        QCOMPARE(optionFlagsText(cheque), u"0;1;1;1;0;0;0;0;0;1;"_s);
    }

    void firstStartUsesTheDefault() {
        QSettings settings(iniPath(u"first.ini"_s), QSettings::IniFormat);
        Document cheque;
        cheque.setChk(7, 0);
        cheque.setChk(3, 1);
        LoadOptionFlags(cheque, settings);
        QCOMPARE(switchesOf(cheque).chk, (QList<int>{0, 0, 0, 0, 0, 0, 0, 1, 0}));
        QVERIFY(cheque.crosswise());
    }

    void emptyStoredTextUsesTheDefault() {
        QSettings settings(iniPath(u"empty.ini"_s), QSettings::IniFormat);
        QVERIFY(WriteRegText(settings, kOptionFlagsKey, QString()));
        QCOMPARE(ReadRegText(settings, kOptionFlagsKey, u"fallback"_s), u"fallback"_s);
    }

    // Saved on closing, read by the next run: a fresh settings object sees the same switches.
    void savedSwitchesComeBackNextRun() {
        const QString path = iniPath(u"roundtrip.ini"_s);
        Document before;
        before.setCrosswise(false);
        before.setChk(3, 1);
        before.setChk(6, 1);
        before.setChk(8, 1);
        {
            QSettings settings(path, QSettings::IniFormat);
            SaveOptionFlags(before, settings);
        }
        QSettings settings(path, QSettings::IniFormat);
        QCOMPARE(ReadRegText(settings, kOptionFlagsKey, QString()), u"0;0;0;0;1;0;0;1;1;1;"_s);
        Document after;
        LoadOptionFlags(after, settings);
        QCOMPARE(switchesOf(after).chk, switchesOf(before).chk);
        QCOMPARE(after.crosswise(), before.crosswise());
        // The key path and the single default value, as in the registry.
        QVERIFY(settings.childGroups().contains(u"CHK_F"_s));
    }

    // A store that cannot be written (its folder would have to be made inside a plain file):
    // the write reports failure, saving the switches goes on quietly, the next start reads
    // the default.
    void failedWriteIsIgnored() {
        QFile blocker(iniPath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = iniPath(u"blocker/sub/locked.ini"_s);
        {
            QSettings settings(path, QSettings::IniFormat);
            QVERIFY(!WriteRegText(settings, kOptionFlagsKey, u"0;1;1;1;0;0;0;0;0;1;"_s));
            Document cheque;
            cheque.setCrosswise(false);
            SaveOptionFlags(cheque, settings);
        }
        QSettings settings(path, QSettings::IniFormat);
        Document next;
        LoadOptionFlags(next, settings);
        QVERIFY(next.crosswise());
    }
};

QTEST_APPLESS_MAIN(TestOptionFlags)
#include "tst_optionflags.moc"
