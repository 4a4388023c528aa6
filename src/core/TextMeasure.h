#pragma once

#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QString>

// Measures text in twips with a given font, independent of the screen's resolution.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual double widthTwips(const QString& text) = 0;
};

// Through QFontMetricsF on a 1440-dpi device, where one pixel is one twip. A text of plain
// characters (digits, punctuation, Chinese) is the sum of its cached character advances;
// texts that may kern or shape (Latin letters, combining marks, surrogates) are measured
// whole and cached.
class FontTextMeasure final : public TextMeasure {
public:
    explicit FontTextMeasure(const QFont& font);
    double widthTwips(const QString& text) override;

private:
    double shapedWidth(const QString& text);

    QImage m_device;
    QFontMetricsF m_metrics;
    std::vector<float> m_advances;  // per UTF-16 code unit; negative: not measured, or shaped
    QHash<QString, double> m_shaped;
};

// The history grid's font: "宋体" 9 points.
QFont historyGridFont();

// Makes the Windows Chinese font names ("宋体", "楷体", "黑体", ...) resolve to installed faces
// of the same kind (AR PL UMing or Noto Serif CJK SC for Song faces) where they are not
// installed themselves.
void installChineseFontSubstitutes();
