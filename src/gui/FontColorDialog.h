#pragma once

#include <QColor>
#include <QDialog>

#include "TextFont.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPushButton;

// A field's font and its colour in one dialog: family, size (fractions allowed), bold,
// italic, underline, strikethrough and colour, with a sample line drawn as it will print.
class FontColorDialog final : public QDialog {
    Q_OBJECT

public:
    explicit FontColorDialog(const TextFont& initial, QWidget* parent = nullptr);

    // The font as the dialog shows it now.
    TextFont textFont() const;

private:
    void setColor(const QColor& color);
    void pickOtherColor();
    void updateSample();

    QString m_family;  // the initial name until another family is chosen
    double m_initialSize;
    QColor m_color;
    QFontComboBox* m_familyBox;
    QComboBox* m_size;
    QCheckBox* m_bold;
    QCheckBox* m_italic;
    QCheckBox* m_underline;
    QCheckBox* m_strikethrough;
    QPushButton* m_colorButton;
    QLabel* m_sample;
};
