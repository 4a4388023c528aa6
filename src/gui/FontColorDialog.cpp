#include "FontColorDialog.h"

#include <array>

#include <QColorDialog>
#include <QDoubleValidator>
#include <QPixmap>
#include <QToolButton>

#include "Colors.h"
#include "NumberText.h"
#include "WindowFit.h"
#include "ui_FontColorDialog.h"

using namespace Qt::StringLiterals;

namespace {

struct Swatch {
    QColor color;
    QString name;
};

// The colours cheques are usually printed in, one click each.
const std::array<Swatch, 4>& commonColors() {
    static const std::array<Swatch, 4> swatches{{
        {QColor(0, 0, 0), u"黑色"_s},
        {QColor(255, 0, 0), u"红色"_s},
        {QColor(0, 0, 255), u"蓝色"_s},
        {QColor(0, 128, 0), u"深绿色"_s},
    }};
    return swatches;
}

QIcon colorIcon(const QColor& color, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(color);
    return QIcon(pixmap);
}

}  // namespace

FontColorDialog::FontColorDialog(const TextFont& initial, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::FontColorDialog>()),
      m_family(initial.name),
      m_initialSize(initial.size) {
    m_ui->setupUi(this);
    m_ui->Family->setCurrentFont(QFont(initial.name));
    // A name this system knows only by an alias (宋体 on Linux) is not in the list; the box
    // would show another family while the field keeps its own. Show the field's name instead.
    if (m_ui->Family->currentText() != initial.name)
        m_ui->Family->setEditText(initial.name);
    for (const double size : {8.0, 9.0, 10.0, 10.5, 11.0, 12.0, 14.0, 16.0, 18.0, 20.0, 22.0, 24.0,
                              26.0, 28.0, 36.0, 48.0, 72.0})
        m_ui->Size->addItem(numberText(size));
    auto* validator = new QDoubleValidator(1, 999, 2, m_ui->Size);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    m_ui->Size->setValidator(validator);
    m_ui->Size->setCurrentText(numberText(initial.size));
    m_ui->Bold->setChecked(initial.bold);
    m_ui->Italic->setChecked(initial.italic);
    m_ui->Underline->setChecked(initial.underline);
    m_ui->Strikethrough->setChecked(initial.strikethrough);
    setColor(toQColor(initial.color));

    // The swatches go between the colour button and the end of the row.
    int i = 0;
    for (const Swatch& swatch : commonColors()) {
        auto* button = new QToolButton(this);
        button->setObjectName(u"Swatch"_s + QString::number(i));
        button->setIcon(colorIcon(swatch.color, QSize(16, 16)));
        button->setToolTip(swatch.name);
        button->setAccessibleName(swatch.name);
        connect(button, &QToolButton::clicked, this,
                [this, color = swatch.color] { setColor(color); });
        m_ui->colors->insertWidget(m_ui->colors->count() - 1, button);
        ++i;
    }

    // Connected after the initial values are in, so that only the user's choice of family
    // replaces the initial name (which may be a name this system only knows by an alias).
    connect(m_ui->Family, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        m_family = font.family();
        updateSample();
    });
    connect(m_ui->Size, &QComboBox::currentTextChanged, this, &FontColorDialog::updateSample);
    for (QCheckBox* box : {m_ui->Bold, m_ui->Italic, m_ui->Underline, m_ui->Strikethrough})
        connect(box, &QCheckBox::toggled, this, &FontColorDialog::updateSample);
    connect(m_ui->Color, &QPushButton::clicked, this, &FontColorDialog::pickOtherColor);
    updateSample();
    fitOnScreen(*this);
}

FontColorDialog::~FontColorDialog() = default;

TextFont FontColorDialog::textFont() const {
    const double size = numericValue(m_ui->Size->currentText());
    return TextFont{m_family,
                    size > 0 ? size : m_initialSize,
                    m_ui->Bold->isChecked(),
                    m_ui->Italic->isChecked(),
                    m_ui->Underline->isChecked(),
                    m_ui->Strikethrough->isChecked(),
                    fromQColor(m_color)};
}

void FontColorDialog::setColor(const QColor& color) {
    m_color = color;
    m_ui->Color->setIcon(colorIcon(color, m_ui->Color->iconSize()));
    updateSample();
}

void FontColorDialog::pickOtherColor() {
    const QColor color = QColorDialog::getColor(m_color, this, u"颜色"_s);
    if (color.isValid())
        setColor(color);
}

void FontColorDialog::updateSample() {
    const TextFont chosen = textFont();
    QFont font(chosen.name);
    font.setPointSizeF(chosen.size);
    font.setBold(chosen.bold);
    font.setItalic(chosen.italic);
    font.setUnderline(chosen.underline);
    font.setStrikeOut(chosen.strikethrough);
    m_ui->Sample->setFont(font);
    QPalette palette = m_ui->Sample->palette();
    palette.setColor(QPalette::WindowText, m_color);
    palette.setColor(QPalette::Window, Qt::white);
    m_ui->Sample->setPalette(palette);
}
