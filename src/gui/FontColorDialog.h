#pragma once

#include <memory>

#include <QColor>
#include <QDialog>

#include "TextFont.h"

namespace Ui {
class FontColorDialog;
}

// A field's font and its colour in one dialog: family, size (fractions allowed), bold,
// italic, underline, strikethrough and colour, with a sample line drawn as it will print.
class FontColorDialog final : public QDialog {
    Q_OBJECT

public:
    explicit FontColorDialog(const TextFont& initial, QWidget* parent = nullptr);
    ~FontColorDialog() override;

    // The font as the dialog shows it now.
    TextFont textFont() const;

private:
    void setColor(const QColor& color);
    void pickOtherColor();
    void updateSample();

    std::unique_ptr<Ui::FontColorDialog> m_ui;
    QString m_family;  // the initial name until another family is chosen
    double m_initialSize;
    QColor m_color;
};
