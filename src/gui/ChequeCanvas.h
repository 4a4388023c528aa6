#pragma once

#include <optional>

#include <QRectF>
#include <QStringView>
#include <QWidget>

#include "ChequePicture.h"

struct DocumentKind;

// The blank document drawn at screen scale, a cheque's stub left of its body; the fields stand
// on it as child widgets at the places of the kind's geometry.
class ChequeCanvas final : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPixelsPerMm = 3.6;

    explicit ChequeCanvas(QWidget* parent = nullptr);

    // The kind drawn (the transfer cheque until told).
    void setKind(const DocumentKind& kind);
    // The stub is drawn only while it is printed.
    void setStubShown(bool shown);
    // A scan of the blank form drawn faintly behind the fields; none to draw none.
    void setBackground(const FaintPicture* background);
    // A rectangle in mm on a part of the cheque (as the geometry names it), in the canvas's
    // pixels.
    QRect toPixels(const QRectF& mm, QStringView part) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const DocumentKind* m_kind;
    bool m_stubShown = true;
    std::optional<FaintPicture> m_background;
};
