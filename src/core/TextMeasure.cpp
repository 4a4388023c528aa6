#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

QImage twipDevice() {
    QImage image(1, 1, QImage::Format_ARGB32);
    const int dotsPerMeter = qRound(1440 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

constexpr float kUnmeasured = -1.0f;
constexpr float kShaped = -2.0f;

bool needsShaping(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0x0300 && c < 0x0370) ||
           (c >= 0xD800 && c < 0xE000) || (c >= 0xFE00 && c < 0xFE10) || c >= 0xFFF0;
}

}  // namespace

FontTextMeasure::FontTextMeasure(const QFont& font)
    : m_device(twipDevice()), m_metrics(font, &m_device), m_advances(0x10000, kUnmeasured) {}

double FontTextMeasure::widthTwips(const QString& text) {
    double width = 0;
    for (QChar qc : text) {
        float& advance = m_advances[qc.unicode()];
        if (advance == kUnmeasured)
            advance = needsShaping(qc.unicode()) ? kShaped : float(m_metrics.horizontalAdvance(qc));
        if (advance == kShaped)
            return shapedWidth(text);
        width += advance;
    }
    return width;
}

double FontTextMeasure::shapedWidth(const QString& text) {
    const auto cached = m_shaped.constFind(text);
    if (cached != m_shaped.cend())
        return *cached;
    const double width = m_metrics.horizontalAdvance(text);
    m_shaped.insert(text, width);
    return width;
}

QFont historyGridFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(9);
    return font;
}

void installChineseFontSubstitutes() {
    // Faces whose radicals (U+2E80-U+2FDF) have glyphs of their own come first: PDF writers map
    // a shared glyph back to the lowest code point, so with the others a printed 示 or 工
    // would be read back from the PDF as the radical ⽰ or ⼯.
    const QStringList song = {u"AR PL UMing CN"_s, u"Noto Serif CJK SC"_s, u"Noto Serif CJK"_s};
    const QStringList kai = {u"AR PL UKai CN"_s, u"AR PL UMing CN"_s, u"Noto Serif CJK SC"_s};
    const QStringList hei = {u"WenQuanYi Zen Hei"_s, u"Noto Sans CJK SC"_s, u"Noto Sans CJK"_s};
    for (const char* name :
         {"宋体", "新宋体", "仿宋", "仿宋_GB2312", "SimSun", "NSimSun", "FangSong"})
        QFont::insertSubstitutions(QString::fromUtf8(name), song);
    for (const char* name : {"楷体", "楷体_GB2312", "KaiTi"})
        QFont::insertSubstitutions(QString::fromUtf8(name), kai);
    for (const char* name : {"黑体", "微软雅黑", "SimHei", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromUtf8(name), hei);
}
