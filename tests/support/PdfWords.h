#pragma once

#include <algorithm>
#include <cmath>

#include <QList>
#include <QMap>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStringList>

// The words of a PDF (of its page `page`, counted from 1; of every page for 0) with where each
// lies on the paper (mm), as pdftotext -bbox reads them.
inline QList<std::pair<QString, QRectF>> pdfWords(const QString& pdf, int page = 0) {
    QStringList arguments{QStringLiteral("-bbox")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), arguments + QStringList{pdf, QStringLiteral("-")});
    text.waitForFinished(60000);
    static const QRegularExpression word(
        QStringLiteral("xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" xMax=\"([-\\d.]+)\" "
                       "yMax=\"([-\\d.]+)\">([^<]*)<"));
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

// Whether a word's box lies inside a place (given 1 mm more up and down, where a character's
// ascent and descent may reach).
inline bool liesInside(const QRectF& box, const QRectF& place) {
    return place.adjusted(0, -1, 0, 1).contains(box);
}

// The words that lie inside none of the places.
inline QStringList wordsOutside(const QList<std::pair<QString, QRectF>>& words,
                                const QList<QRectF>& places) {
    QStringList outside;
    for (const auto& [text, box] : words)
        if (std::ranges::none_of(places,
                                 [&](const QRectF& place) { return liesInside(box, place); }))
            outside << text;
    return outside;
}

// Where each word of a PDF begins (mm), by its text, for the words that appear once: spaced
// characters moved apart or closer may fall into other words, and a text printed twice (the
// payee on the stub and the body) names no one place.
inline QMap<QString, QPointF> wordCornersOnce(const QString& pdf) {
    QMap<QString, QPointF> corners;
    QStringList twice;
    for (const auto& [word, box] : pdfWords(pdf)) {
        if (corners.contains(word))
            twice << word;
        corners.insert(word, box.topLeft());
    }
    for (const QString& word : twice)
        corners.remove(word);
    return corners;
}

// Why a word does not lie where it should, for a test's message ("金额 at x,y instead of x,y"):
// empty when it lies within `tolerance` mm of `expected` on both axes.
inline QString misplacedWord(const QString& word, QPointF at, QPointF expected, double tolerance) {
    if (std::abs(at.x() - expected.x()) <= tolerance &&
        std::abs(at.y() - expected.y()) <= tolerance)
        return {};
    return QStringLiteral("%1 at %2,%3 instead of %4,%5")
        .arg(word)
        .arg(at.x())
        .arg(at.y())
        .arg(expected.x())
        .arg(expected.y());
}
