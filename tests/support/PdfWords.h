#pragma once

#include <algorithm>

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>

// Where the words of a printed PDF lie, for the tests that check every field lands in its place.

// The words of a PDF with where each lies on the paper (mm), as pdftotext -bbox reads them.
inline QList<std::pair<QString, QRectF>> pdfWords(const QString& pdf) {
    using namespace Qt::StringLiterals;
    QProcess text;
    text.start(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s});
    text.waitForFinished(60000);
    static const QRegularExpression word(
        u"xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">([^<]*)<"_s);
    QList<std::pair<QString, QRectF>> words;
    constexpr double mm = 25.4 / 72;
    for (auto it = word.globalMatch(QString::fromUtf8(text.readAllStandardOutput()));
         it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append(
            {m.captured(5),
             QRectF(QPointF(m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm),
                    QPointF(m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm))});
    }
    return words;
}

// The words that lie inside none of the places (given 1 mm more up and down, where a
// character's ascent and descent may reach).
inline QStringList wordsOutside(const QList<std::pair<QString, QRectF>>& words,
                                const QList<QRectF>& places) {
    QStringList outside;
    for (const auto& [text, box] : words)
        if (std::ranges::none_of(places, [&](const QRectF& place) {
                return place.adjusted(0, -1, 0, 1).contains(box);
            }))
            outside << text;
    return outside;
}
