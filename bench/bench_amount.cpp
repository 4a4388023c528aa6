// Conversions per second of AmountToCapitals over a million random figure-form amounts.
#include <cstdio>
#include <vector>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QString>

#include "AmountCapitals.h"

int main() {
    constexpr int kCount = 1000000;
    QRandomGenerator random(42);
    std::vector<QString> amounts;
    amounts.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        // Amounts of every length from 0.01 to 99,999,999.99, as the field would hold them.
        const quint64 digits = random.bounded(1, 11);
        quint64 limit = 1;
        for (quint64 d = 0; d < digits; ++d)
            limit *= 10;
        const quint64 fen = random.bounded(limit);
        amounts.push_back(FormatFigures(QString::number(fen / 100) + u'.' +
                                        QString::number(fen % 100).rightJustified(2, u'0')));
    }

    qsizetype checksum = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString& figures : amounts)
        checksum += AmountToCapitals(figures).size();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    std::printf(
        "AmountToCapitals: %d amounts in %.3f s = %.2f million per second (checksum %lld)\n",
        kCount, seconds, kCount / seconds / 1e6, static_cast<long long>(checksum));
    return 0;
}
