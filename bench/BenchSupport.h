#pragma once
// What the benchmarks share: a generated history of 100,000 cheques, and timing.

#include <algorithm>
#include <vector>

#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <QGuiApplication>
#include <QTemporaryDir>

#include "../src/app/ConsolePrompts.h"
#include "Database.h"
#include "TextMeasure.h"

inline constexpr int kRows = 100000;

inline void generateHistory(Database& db) {
    using namespace Qt::StringLiterals;
    QRandomGenerator random(7);
    const QStringList companies = {u"北京示例科技有限公司"_s, u"上海某某贸易有限公司"_s,
                                   u"广州华南建材有限公司"_s, u"深圳前海信息技术有限公司"_s,
                                   u"ABC Trading Co., Ltd."_s};
    Transaction transaction(db);
    for (int i = 0; i < kRows; ++i) {
        const QDate day = QDate(2010, 1, 1).addDays(random.bounded(5000));
        const QString payee = companies[random.bounded(int(companies.size()))] +
                              QString::number(random.bounded(3000));
        const qint64 fen = random.bounded(Q_INT64_C(10000000000));
        const QString amount = u"￥"_s + QString::number(fen / 100) + u'.' +
                               QString::number(fen % 100).rightJustified(2, u'0');
        const QString iso = day.toString(Qt::ISODate);
        db.execute(
            u"INSERT INTO 历史记录 (Dat, 出票日期, 收款人全称, 金额, 用途, 账号, 密码, 银行, "
            u"附加信息, "
            u"\"日期(票根)\", \"收款人(票根)\", \"金额(票根)\", \"用途(票根)\", \"主管(票根)\", "
            u"\"会计(票根)\") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s,
            {iso, iso, payee, amount, u"货款"_s, QString::number(6222020000000000000LL + i),
             QString::number(random.bounded(100000000)), u"中国工商银行北京分行"_s, QString(), iso,
             payee.left(10), amount, u"货款"_s, u"张三"_s, u"李四"_s});
    }
    transaction.commit();
}

// The median of several timed runs, in seconds.
template <typename F>
inline double medianSeconds(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A database of its own in a temporary folder, filled with the generated history, in an
// application that draws offscreen with the program's Chinese fonts.
struct GeneratedHistory {
    GeneratedHistory(int& argc, char** argv) : app(offscreen(argc), argv) {
        installChineseFontSubstitutes();
        ok = db.open(path());
        if (ok)
            generateHistory(db);
    }
    QString path() const { return dir.filePath(QStringLiteral("DATA.db")); }
    static int& offscreen(int& argc) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QGuiApplication app;
    QTemporaryDir dir;
    ConsolePrompts prompts{stderr};
    Database db{prompts};
    bool ok = false;
};
