#include <QRegularExpression>
#include <QTest>

#include "HistoryColumns.h"
#include "HistoryList.h"
#include "HistoryRows.h"
#include "TestDatabase.h"

using namespace Qt::StringLiterals;

// The history grid of one kind, in a table that holds another kind's rows too: every way of
// sorting and narrowing lists the same rows, and every statement it runs reads the kind's rows
// the quick way. The plans are those of the statements as the grid runs them, values written
// in: a file's from EXPLAIN QUERY PLAN, a server's from EXPLAIN with sorting made as dear as
// it goes (so that an index that gives the order is taken whenever there is one).
class TestHistoryPlans : public QObject {
    Q_OBJECT

private:
    TestDatabase* m_t = nullptr;

    // The statement with its values written in, as the database would see them.
    static QString withValues(const QString& sql, const QVariantList& values) {
        QString written;
        qsizetype next = 0;
        for (const QChar c : sql) {
            if (c != u'?' || next >= values.size()) {
                written += c;
                continue;
            }
            const QVariant& value = values[next++];
            written += value.typeId() == QMetaType::QString
                           ? u'\'' + value.toString().replace(u"'"_s, u"''"_s) + u'\''
                           : value.toString();
        }
        return written;
    }

    // A file's plan through the program's own connection; a server's through a plain one, which
    // runs EXPLAIN unprepared (a server prepares no EXPLAIN) with sorting made dear.
    QStringList planOf(const QString& sql) {
        QStringList lines;
        if (!onTestServer()) {
            std::optional<QSqlQuery> plan = m_t->db.select(u"EXPLAIN QUERY PLAN "_s + sql);
            while (plan && plan->next())
                lines << plan->value(3).toString();
            return lines;
        }
        const QString connection = u"plans"_s;
        {
            QSqlDatabase server = plainConnection(m_t->path(), connection);
            QSqlQuery plan(server);
            // Whether a slip was printed from each row is sought in a small table that a server
            // would read whole: reading whole is made dear too, to show the index it takes.
            const QString scans =
                u"SET enable_seqscan = "_s + (sql.contains(u"s.来源ID"_s) ? u"off"_s : u"on"_s);
            if (server.isOpen() && plan.exec(u"SET enable_sort = off"_s) && plan.exec(scans) &&
                plan.exec(u"EXPLAIN "_s + sql))
                while (plan.next())
                    lines << plan.value(0).toString();
        }
        QSqlDatabase::removeDatabase(connection);
        return lines;
    }

    // What is wrong with the plan of a statement of the kind's rows; empty when nothing is.
    static QString faultOf(const QStringList& plan, const QString& sql) {
        const QString lines = plan.join(u" / "_s);
        if (plan.isEmpty())
            return u"no plan"_s;
        // Under a range of print dates, the rows in the range may be read and sorted; without
        // one, the database reads the kind's rows whole.
        const bool wholeKind = !sql.contains(u"Dat>="_s) && !sql.contains(u"Dat<="_s);
        // Sorted by the database, where an index led by the kind gives the order.
        if (wholeKind &&
            (lines.contains(u"TEMP B-TREE FOR ORDER BY"_s) || lines.contains(u"Sort "_s)))
            return u"sorts rows itself: "_s + lines;
        // Through an index that does not begin with the kind; whether a slip was printed from
        // a cheque is one seek in the slips' index of their source.
        static const QRegularExpression index(u"(?:INDEX|using) (历史记录_\\S+)"_s);
        for (auto it = index.globalMatch(lines); it.hasNext();)
            if (const QString name = it.next().captured(1);
                !name.startsWith(u"历史记录_种类_"_s) && name != u"历史记录_pkey"_s &&
                name.compare(u"历史记录_来源ID"_s, Qt::CaseInsensitive) != 0)
                return u"reads index "_s + name + u": "_s + lines;
        if (sql.contains(u"s.来源ID"_s) &&
            !lines.contains(u"历史记录_来源ID"_s, Qt::CaseInsensitive))
            return u"looks for the slips without their source's index: "_s + lines;
        // Every row of the kind fetched from its place through an index (a file): one scan of
        // the table is several times quicker.
        if (wholeKind && lines.contains(u"USING INDEX 历史记录_种类_"_s))
            return u"fetches each row through an index: "_s + lines;
        // Rows of some days are sought by their date as well, not picked out of the kind's
        // whole date index (a file; a server's small table without statistics may take any
        // index led by the kind and filter it).
        if (sql.contains(u"Dat<="_s) && lines.contains(u"历史记录_种类_打印日期 (种类=?)"_s))
            return u"reads the kind's whole date index for some days: "_s + lines;
        // A statement that reads every row of the kind without sorting them scans the table
        // (a file).
        if (sql.contains(u"+种类"_s) && lines.contains(u"历史记录_种类_"_s))
            return u"scans through an index: "_s + lines;
        return {};
    }

private slots:
    void initTestCase() { SKIP_WITHOUT_TEST_SERVER(); }
    void init() { m_t = new TestDatabase; }
    void cleanup() { delete m_t; }

    void everyOrderListsTheKindsRowsTheQuickWay() {
        // 150 rows of each kind over ten days, payees that read as numbers among them; the
        // transfer cheques' issue dates are missing now and then.
        QVERIFY(m_t->db.atomically([&] {
            for (int i = 0; i < 300; ++i) {
                const QString payee = i % 7 == 0 ? u"%1"_s.arg(i) : u"收款人%1"_s.arg(i % 40);
                const QVariant issued =
                    i % 11 == 0 ? QVariant()
                                : QVariant(u"2026-11-%1"_s.arg(i % 28 + 1, 2, 10, QChar(u'0')));
                if (!m_t->db.execute(
                        u"INSERT INTO 历史记录 (种类, Dat, 出票日期, 收款人全称, 金额, "
                        u"账号) VALUES (?, ?, ?, ?, ?, ?)"_s,
                        {i % 2 == 0 ? u"转账支票"_s : u"测试单据"_s,
                         u"2026-12-%1"_s.arg(i % 10 + 1, 2, 10, QChar(u'0')), issued, payee,
                         u"￥%1.00"_s.arg(i * 7 % 300), u"6222%1"_s.arg(i)}))
                    return false;
            }
            return true;
        }));
        // Slips filled from some of the cheques (IDs 1, 3 and 5), a slip without a source, and
        // a row of another kind that names a cheque.
        for (const auto& [kind, source] : {std::pair{u"进账单"_s, QVariant(1)},
                                           {u"进账单"_s, QVariant(3)},
                                           {u"进账单"_s, QVariant(5)},
                                           {u"进账单"_s, QVariant()},
                                           {u"测试单据"_s, QVariant(7)}})
            QVERIFY(m_t->db.execute(
                u"INSERT INTO 历史记录 (种类, Dat, 收款人全称, 来源ID) VALUES (?, '2026-12-05', "
                u"'收款人1', ?)"_s,
                {kind, source}));
        QStringList statements;
        m_t->db.watchStatements([&](const QString& sql, const QVariantList& values) {
            if (sql.contains(u"历史记录"_s))
                statements << withValues(sql, values);
        });

        const QStringList& names = historyGridNames();
        const QList<HistoryFilter> filters = {
            {},
            {u"收款人1"_s, {}, {}},
            {{}, QDate(2026, 12, 3), QDate(2026, 12, 6)},
            {u"6222"_s, QDate(2026, 12, 2), {}},
        };
        QStringList wrong;
        for (const HistoryFilter& filter : filters) {
            HistoryList kept(m_t->db);
            QVERIFY(kept.setFilter(filter));
            QList<qint64> expected;
            for (int row = 0; row < kept.count(); ++row)
                expected << kept.text(row, 0).toLongLong();
            std::sort(expected.begin(), expected.end());
            QVERIFY(!expected.isEmpty());
            for (const QString& column : {u"Dat"_s, u"出票日期"_s, u"收款人全称"_s, u"金额"_s}) {
                HistoryList list(m_t->db);
                QVERIFY(list.setFilter(filter));
                QVERIFY(list.sortBy(int(names.indexOf(column))));
                QList<qint64> listed;
                for (int row = 0; row < list.count(); ++row)
                    listed << list.text(row, 0).toLongLong();
                std::sort(listed.begin(), listed.end());
                if (listed != expected)
                    wrong << u"%1 under %2: %3 rows, not %4"_s.arg(column, filter.text)
                                 .arg(listed.size())
                                 .arg(expected.size());
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));

        // The cheques a slip was filled from read 已打印 under 进账单, whatever the order and
        // the page; the column itself does not sort.
        {
            const int slip = int(names.indexOf(kSlipPrintedColumn));
            QVERIFY(slip > 0);
            HistoryList list(m_t->db);
            QVERIFY(list.sortBy(int(names.indexOf(u"收款人全称"_s))));
            QStringList printed;
            for (int row = 0; row < list.count(); ++row)
                if (!list.text(row, slip).isEmpty())
                    printed << list.text(row, 0) + u'=' + list.text(row, slip);
            printed.sort();
            QCOMPARE(printed.join(u' '), u"1=已打印 3=已打印 5=已打印"_s);
            const QStringList before = list.headings();
            QVERIFY(!list.sortBy(slip));
            QCOMPARE(list.headings(), before);
        }

        // Rows kept since, of both kinds, are taken in through the IDs' own index.
        HistoryList list(m_t->db);
        QVERIFY(list.sortBy(int(names.indexOf(u"收款人全称"_s))));
        const int before = list.count();
        Database other(m_t->prompts);
        QVERIFY(other.open(m_t->path()));
        for (const QString& kind : {u"测试单据"_s, u"转账支票"_s})
            QVERIFY(other.execute(
                u"INSERT INTO 历史记录 (种类, Dat, 收款人全称) VALUES (?, '2026-12-09', '新')"_s,
                {kind}));
        QVERIFY(list.refresh());
        QCOMPARE(list.count(), before + 1);

        // The history verb and the export read every row of the kind in the order of keeping.
        HistoryRowReader reader(m_t->db, HistoryOrder{});
        int read = 0;
        for (QStringList texts; reader.next(texts);)
            ++read;
        QCOMPARE(read, list.count());

        m_t->db.watchStatements({});
        statements.removeDuplicates();
        QVERIFY(statements.size() > 10);
        QStringList faults;
        for (const QString& sql : std::as_const(statements))
            if (const QString fault = faultOf(planOf(sql), sql); !fault.isEmpty())
                faults << sql.left(160) + u"\n    "_s + fault;
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(TestHistoryPlans)
#include "tst_historyplans.moc"
