#include "OverflowGuard.h"

#include <memory>

#include <QImage>
#include <QRectF>

#include "ChequeGeometry.h"
#include "ChequePrinter.h"
#include "Document.h"
#include "DocumentKind.h"
#include "PainterSurface.h"
#include "PrintLayout.h"
#include "PrintSurface.h"
#include "TextCharacters.h"

using namespace Qt::StringLiterals;

namespace {

// The shipped format puts a field's text about 1 mm into its blank; a format that moves the
// field moves its blank with it.
constexpr double kTextInset = 1;
constexpr double kTolerance = 0.01;  // mm

// Passes measuring on to the surface it wraps, draws nothing, and keeps the extent of every
// field's drawn text.
class MeasuringSurface final : public PrintSurface {
public:
    explicit MeasuringSurface(PrintSurface& measure) : m_measure(measure) {}

    std::array<QRectF, kMaxKindFields> extents;

    QString deviceName() const override { return m_measure.deviceName(); }
    bool setPaperSize(PaperSize) override { return true; }
    bool setLandscape(bool) override { return true; }
    void setFont(const TextFont& font) override { m_measure.setFont(font); }
    double textWidth(const QString& text) override { return m_measure.textWidth(text); }
    double textHeight(const QString& text) override { return m_measure.textHeight(text); }
    void beginField(int field) override { m_field = field; }
    void drawText(double x, double y, const QString& text) override {
        if (m_field < 0)
            return;
        const QRectF drawn(x, y, textWidth(text), textHeight(text));
        QRectF& extent = extents[size_t(m_field)];
        extent = extent.isNull() ? drawn : extent.united(drawn);
    }
    void fillBox(double, double, double, double, quint32) override {}
    bool newPage() override { return true; }
    bool endDocument() override { return true; }
    void abandonDocument() override {}
    bool ok() const override { return true; }

private:
    PrintSurface& m_measure;
    int m_field = -1;
};

}  // namespace

QList<int> findOverflowingFields(const Document& cheque, const PrintFormat& format,
                                 PrintSurface& measure, QList<QRectF>* extents, PartSide side) {
    MeasuringSurface surface(measure);
    drawChequeFields(surface, cheque, format, side);  // measuring never fails

    const DocumentKind& kind = cheque.kind();
    const ChequeGeometry& g = ChequeGeometry::of(kind);
    QList<int> overflowing;
    for (int i = 0; i < int(kind.fields.size()); ++i) {
        const QRectF& printed = surface.extents[size_t(i)];
        if (printed.isNull())
            continue;  // not printed
        const ChequeFieldInfo& field = kind.fields[size_t(i)];
        // The text in the field's part of the cheque, and where the format put its start.
        const QRectF text = printed.translated(-fieldOrigin(format.page, cheque, i));
        const FieldPosition& start = format.fields[size_t(i)];
        const QSizeF part = g.partSize(kind.parts[size_t(field.part)].name);
        bool overflows = text.left() < -kTolerance || text.top() < -kTolerance ||
                         text.right() > part.width() + kTolerance ||
                         text.bottom() > part.height() + kTolerance;
        if (field.drawing == FieldDrawing::Boxes) {
            const ChequeGeometry::BoxSet* boxes = g.boxesOf(field.identifier);
            const qsizetype count = boxes ? boxes->lefts.size() : 0;
            overflows = overflows || characterCount(boxedAmount(cheque.text(i), count)) > count;
        } else if (const ChequeGeometry::Place* place = g.placeOf(field.identifier)) {
            const double blankRight =
                place->rect.right() + (start.x - place->rect.left() - kTextInset);
            overflows = overflows || text.right() > blankRight + kTolerance;
        }
        if (!overflows)
            continue;
        overflowing << i;
        if (extents)
            *extents << printed;
    }
    return overflowing;
}

QString fieldIdentifiers(const DocumentKind& kind, const QList<int>& fields) {
    QStringList names;
    for (int field : fields)
        names << kind.fields[size_t(field)].identifier.toString();
    return names.join(u"、"_s);
}

namespace {

// A picture at printer resolution, kept for the program's life: fonts measure on it as they do
// on a printer, and it is never drawn on.
class PictureMeasure final {
public:
    PictureMeasure() : image(8, 8, QImage::Format_RGB32) {
        const int dotsPerMeter = qRound(600 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
    }
    QImage image;
};

}  // namespace

std::unique_ptr<PrintSurface> printerLikeMeasure() {
    static PictureMeasure picture;
    return std::make_unique<PainterSurface>(picture.image, QPointF());
}
