#pragma once

#include <vector>

#include <QString>

#include "PrintSurface.h"
#include "TextCharacters.h"

// Records every drawing call with its millimetre coordinates. Text is measured by a simple
// rule, so that tests can work out positions by hand: a character outside ASCII (whatever its
// UTF-16 length, with its marks) is as wide as the font size (1 pt = 25.4 / 72 mm), an ASCII
// character half that; a text is as high as the font size.
class RecordingSurface final : public PrintSurface {
public:
    enum class Kind { Text, Box, NewPage, End, Abandon };
    struct Call {
        Kind kind;
        double x = 0, y = 0, x2 = 0, y2 = 0;
        QString text;
        TextFont font;
        quint32 color = 0;
    };

    QString name;           // the device name
    bool refuseA3 = false;  // the printer has no A3
    bool refuseA4 = false;
    int failAfterTexts = -1;  // the drawing fails after this many texts (-1: never)
    PaperSize paper = PaperSize::A4;
    bool landscape = false;
    std::vector<Call> calls;

    static double fontMm(const TextFont& font) { return font.size * 25.4 / 72; }

    // The drawn texts only, in order.
    std::vector<Call> texts() const {
        std::vector<Call> result;
        for (const Call& call : calls)
            if (call.kind == Kind::Text)
                result.push_back(call);
        return result;
    }
    QString drawnText() const {
        QString all;
        for (const Call& call : texts())
            all += call.text;
        return all;
    }

    QString deviceName() const override { return name; }
    bool setPaperSize(PaperSize size) override {
        if ((size == PaperSize::A3 && refuseA3) || (size == PaperSize::A4 && refuseA4))
            return false;
        paper = size;
        return true;
    }
    bool setLandscape(bool on) override {
        landscape = on;
        return true;
    }
    void setFont(const TextFont& font) override { m_font = font; }
    double textWidth(const QString& text) override {
        double width = 0;
        for (QStringView c : textCharacters(text))
            width += c.front().unicode() < 128 ? fontMm(m_font) / 2 : fontMm(m_font);
        return width;
    }
    double textHeight(const QString&) override { return fontMm(m_font); }
    void drawText(double x, double y, const QString& text) override {
        if (!m_ok)
            return;
        if (failAfterTexts >= 0 && int(texts().size()) >= failAfterTexts) {
            m_ok = false;
            return;
        }
        calls.push_back({Kind::Text, x, y, 0, 0, text, m_font, m_font.color});
    }
    void fillBox(double x1, double y1, double x2, double y2, quint32 color) override {
        calls.push_back({Kind::Box, x1, y1, x2, y2, {}, m_font, color});
    }
    bool newPage() override {
        calls.push_back(call(Kind::NewPage));
        return m_ok;
    }
    bool endDocument() override {
        calls.push_back(call(Kind::End));
        return m_ok;
    }
    void abandonDocument() override { calls.push_back(call(Kind::Abandon)); }
    bool ok() const override { return m_ok; }

private:
    Call call(Kind kind) const {
        Call c;
        c.kind = kind;
        return c;
    }

    TextFont m_font;
    bool m_ok = true;
};
