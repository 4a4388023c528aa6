#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include "ChequePrinter.h"
#include "Document.h"
#include "FormatStore.h"
#include "PainterSurface.h"
#include "ProgressIndicator.h"
#include "SampleCheque.h"
#include "TestClock.h"
#include "TestDatabase.h"
#include "TextCharacters.h"
#include "TextMeasure.h"

using namespace Qt::StringLiterals;

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

using FieldTexts = QHash<int, QString>;  // by field

// Passes everything on to a real surface and keeps where each text was drawn.
class TeeSurface final : public PrintSurface {
public:
    struct Drawn {
        double x, y;
        QString text;
    };
    explicit TeeSurface(PrintSurface& real) : m_real(real) {}
    std::vector<Drawn> drawn;

    QString deviceName() const override { return m_real.deviceName(); }
    bool setPaperSize(PaperSize size) override { return m_real.setPaperSize(size); }
    bool setLandscape(bool on) override { return m_real.setLandscape(on); }
    void setFont(const TextFont& font) override { m_real.setFont(font); }
    double textWidth(const QString& text) override { return m_real.textWidth(text); }
    double textHeight(const QString& text) override { return m_real.textHeight(text); }
    void drawText(double x, double y, const QString& text) override {
        drawn.push_back({x, y, text});
        m_real.drawText(x, y, text);
    }
    void fillBox(double x1, double y1, double x2, double y2, quint32 color) override {
        m_real.fillBox(x1, y1, x2, y2, color);
    }
    bool newPage() override { return m_real.newPage(); }
    bool endDocument() override { return m_real.endDocument(); }
    void abandonDocument() override { m_real.abandonDocument(); }
    bool ok() const override { return m_real.ok(); }

private:
    PrintSurface& m_real;
};

struct PdfChar {
    QString c;     // one code point; U+FFFD where the PDF's text map has none for the glyph
    QString font;  // the PostScript name of the glyph's font
    double x, y;   // origin, mm
    bool used = false;
};

// Every character of the PDF with its font and origin, read by mutool.
std::vector<PdfChar> readCharacters(const QString& pdf) {
    QProcess mutool;
    mutool.start(u"mutool"_s, {u"draw"_s, u"-F"_s, u"stext"_s, u"-o"_s, u"-"_s, pdf});
    mutool.waitForFinished(60000);
    const QString xml = QString::fromUtf8(mutool.readAllStandardOutput());
    static const QRegularExpression pattern(
        u"<font name=\"([^\"]*)\"|<char [^>]*x=\"([0-9.]+)\" y=\"([0-9.]+)\"[^>]*c=\"([^\"]+)\""_s);
    std::vector<PdfChar> chars;
    QString font;
    for (const QRegularExpressionMatch& m : pattern.globalMatch(xml)) {
        if (m.capturedLength(1) > 0) {
            font = m.captured(1);
            continue;
        }
        QString c = m.captured(4);
        if (c.startsWith(u"&#x")) {
            const char32_t code = c.mid(3).chopped(1).toUInt(nullptr, 16);
            c = QString::fromUcs4(&code, 1);
        } else if (c.startsWith(u'&')) {
            static const QHash<QString, QString> kEntities = {{u"&lt;"_s, u"<"_s},
                                                              {u"&gt;"_s, u">"_s},
                                                              {u"&amp;"_s, u"&"_s},
                                                              {u"&quot;"_s, u"\""_s},
                                                              {u"&apos;"_s, u"'"_s}};
            c = kEntities.value(c, c);
        }
        chars.push_back({c, font, m.captured(2).toDouble() * kMmPerPoint,
                         m.captured(3).toDouble() * kMmPerPoint});
    }
    return chars;
}

// Whether an installed font has a glyph for the code point: the font of this PostScript name,
// or any font when the name is empty.
bool fontHas(const QString& postscriptName, char32_t code) {
    QString pattern = u":charset=%1"_s.arg(uint(code), 0, 16);
    if (!postscriptName.isEmpty())
        pattern += u":postscriptname="_s + postscriptName;
    QProcess fcList;
    fcList.start(u"fc-list"_s, {pattern, u"family"_s});
    fcList.waitForFinished(60000);
    return !fcList.readAllStandardOutput().trimmed().isEmpty();
}

// Whether a character read back from the PDF is the one drawn. A letter with its combining
// mark is drawn as one glyph and reads back composed. Qt's PDF writer gives no glyph of a
// character beyond the Basic Multilingual Plane a text (the PDF's text map stops at U+FFFF):
// such a glyph reads back as U+FFFD, and is the character when its font has a glyph for it
// (half a surrogate pair drawn alone gives the replacement glyph of a font without one).
bool readsBackAs(const PdfChar& read, const QString& drawn) {
    if (read.c == drawn.normalized(QString::NormalizationForm_C))
        return true;
    const QList<uint> codes = drawn.toUcs4();
    return read.c == u"\uFFFD" && codes.size() == 1 && codes[0] > 0xFFFF &&
           fontHas(read.font, codes[0]);
}

}  // namespace

class TestPdfPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        installChineseFontSubstitutes();
        if (QStandardPaths::findExecutable(u"mutool"_s).isEmpty())
            QSKIP("mutool (package mupdf-tools) is not installed");
    }

    // A cheque printed into a real PDF: every character is read back at the position the layout
    // gave it, within 0.1 mm horizontally, as one glyph: a character beyond the Basic
    // Multilingual Plane (two UTF-16 units) and a letter with its combining mark included, on
    // the body and on the stub, also where the additional information breaks into lines.
    void everyCharacterLandsWhereTheLayoutPutsIt_data() {
        QTest::addColumn<FieldTexts>("changes");  // to the sample cheque's fields
        QTest::newRow("the sample cheque") << FieldTexts{};
        QTest::newRow("characters beyond the BMP and combining marks")
            << FieldTexts{{Field::Payee, u"𠮷野家"_s},
                          {Field::AmountInCapitals, u"壹拾贰元伍角整"_s},
                          {Field::Amount, u"￥12.50"_s},
                          {Field::Purpose, u"Cafe\u0301货款"_s},
                          {Field::AdditionalInfo, u"付给𠮷野家的Cafe\u0301货款𠮷一二𠮷三𠮷"_s},
                          {Field::StubPayee, u"𠮷野家"_s},
                          {Field::StubAmount, u"￥12.50"_s},
                          {Field::StubPurpose, u"Cafe\u0301货款"_s},
                          {Field::Supervisor, u"𠮷田"_s}};
    }
    void everyCharacterLandsWhereTheLayoutPutsIt() {
        QFETCH(FieldTexts, changes);
        // 宋体 is AR PL UMing, which has no 𠮷; Qt takes it from the next face that has it (Noto
        // Serif CJK SC, then whatever fontconfig offers).
        for (const QString& text : changes) {
            for (uint code : text.toUcs4()) {
                if (code <= 0xFFFF)
                    continue;
                if (QStandardPaths::findExecutable(u"fc-list"_s).isEmpty())
                    QSKIP("fc-list (package fontconfig) is not installed");
                if (!fontHas(QString(), code))
                    QSKIP("no installed font has the characters beyond the BMP");
            }
        }
        TestDatabase t;
        Document cheque = sampleCheque();
        for (auto change = changes.cbegin(); change != changes.cend(); ++change)
            cheque.setText(change.key(), change.value());
        const Clock clock = testClock();
        ProgressIndicator progress(clock);
        ApplyFormatFonts(t.db, u"标准支票"_s, cheque, progress);

        const QString pdf = t.dir.filePath(u"cheque.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PainterSurface real(printer);
        TeeSurface surface(real);
        QVERIFY(
            PrintCheque(surface, cheque, loadPrintFormat(t.db, u"标准支票"_s).value(), t.prompts));
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A3);

        std::vector<PdfChar> chars = readCharacters(pdf);
        int checked = 0;
        for (const TeeSurface::Drawn& d : surface.drawn) {
            if (d.text.trimmed().isEmpty())
                continue;
            auto found = std::find_if(chars.begin(), chars.end(), [&](const PdfChar& c) {
                // The origin is on the baseline, a little below the top of the text.
                return !c.used && qAbs(c.x - d.x) < 0.1 && c.y > d.y && c.y < d.y + 6 &&
                       readsBackAs(c, d.text);
            });
            QVERIFY2(found != chars.end(), qPrintable(d.text + u" at "_s + QString::number(d.x)));
            found->used = true;
            ++checked;
        }
        // Nothing else was printed (mutool adds blanks of its own between words).
        QCOMPARE(checked, int(std::count_if(chars.begin(), chars.end(), [](const PdfChar& c) {
                     return !c.c.at(0).isSpace();
                 })));
        qsizetype expected = 0;  // every field is printed; the boxed amount loses its point
        for (int i = 0; i < kPrintableFieldCount; ++i)
            expected += characterCount(cheque.text(i));
        QCOMPARE(checked, int(expected - 1));
    }

    void calibrationSquareIsTenMillimetresFromTheCorner() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"square.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PainterSurface surface(printer);
        surface.fillBox(10, 10, 20, 20, 0);
        QVERIFY(surface.endDocument());
        QProcess render;
        render.start(u"pdftoppm"_s, {u"-r"_s, u"254"_s, u"-gray"_s, u"-singlefile"_s, pdf,
                                     dir.filePath(u"square"_s)});
        QVERIFY(render.waitForFinished(60000));
        QImage image(dir.filePath(u"square.pgm"_s));
        if (image.isNull())
            QSKIP("pdftoppm is not installed");
        // 254 dpi: ten pixels to the millimetre.
        QCOMPARE(qGray(image.pixel(99, 150)), 255);
        QCOMPARE(qGray(image.pixel(101, 150)), 0);
        QCOMPARE(qGray(image.pixel(198, 150)), 0);
        QCOMPARE(qGray(image.pixel(201, 150)), 255);
        QCOMPARE(qGray(image.pixel(150, 99)), 255);
        QCOMPARE(qGray(image.pixel(150, 101)), 0);
    }
};

QTEST_MAIN(TestPdfPrint)
#include "tst_pdfprint.moc"
