#include "FontColorDialog.h"

#include <array>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Colors.h"
#include "NumberText.h"

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
      m_family(initial.name),
      m_initialSize(initial.size),
      m_familyBox(new QFontComboBox(this)),
      m_size(new QComboBox(this)),
      m_bold(new QCheckBox(u"粗体"_s, this)),
      m_italic(new QCheckBox(u"斜体"_s, this)),
      m_underline(new QCheckBox(u"下划线"_s, this)),
      m_strikethrough(new QCheckBox(u"删除线"_s, this)),
      m_colorButton(new QPushButton(this)),
      m_sample(new QLabel(u"示例 AaBb 123"_s, this)) {
    setWindowTitle(u"字体"_s);
    m_familyBox->setObjectName(u"Family"_s);
    m_size->setObjectName(u"Size"_s);
    m_bold->setObjectName(u"Bold"_s);
    m_italic->setObjectName(u"Italic"_s);
    m_underline->setObjectName(u"Underline"_s);
    m_strikethrough->setObjectName(u"Strikethrough"_s);
    m_colorButton->setObjectName(u"Color"_s);
    m_sample->setObjectName(u"Sample"_s);

    m_familyBox->setCurrentFont(QFont(initial.name));
    // A name this system knows only by an alias (宋体 on Linux) is not in the list; the box
    // would show another family while the field keeps its own. Show the field's name instead.
    if (m_familyBox->currentText() != initial.name)
        m_familyBox->setEditText(initial.name);
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    for (const double size : {8.0, 9.0, 10.0, 10.5, 11.0, 12.0, 14.0, 16.0, 18.0, 20.0, 22.0, 24.0,
                              26.0, 28.0, 36.0, 48.0, 72.0})
        m_size->addItem(numberText(size));
    auto* validator = new QDoubleValidator(1, 999, 2, m_size);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    m_size->setValidator(validator);
    m_size->setCurrentText(numberText(initial.size));
    m_bold->setChecked(initial.bold);
    m_italic->setChecked(initial.italic);
    m_underline->setChecked(initial.underline);
    m_strikethrough->setChecked(initial.strikethrough);
    m_colorButton->setToolTip(u"选择其他颜色"_s);
    m_sample->setMinimumHeight(60);
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sample->setAutoFillBackground(true);
    setColor(toQColor(initial.color));

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(u"字体："_s, this), 0, 0);
    form->addWidget(m_familyBox, 0, 1);
    form->addWidget(new QLabel(u"字号："_s, this), 1, 0);
    form->addWidget(m_size, 1, 1, Qt::AlignLeft);

    auto* styles = new QHBoxLayout;
    for (QCheckBox* box : {m_bold, m_italic, m_underline, m_strikethrough})
        styles->addWidget(box);
    styles->addStretch();

    auto* colors = new QHBoxLayout;
    colors->addWidget(new QLabel(u"颜色："_s, this));
    colors->addWidget(m_colorButton);
    colors->addSpacing(12);
    int i = 0;
    for (const Swatch& swatch : commonColors()) {
        auto* button = new QToolButton(this);
        button->setObjectName(u"Swatch"_s + QString::number(i++));
        button->setIcon(colorIcon(swatch.color, QSize(16, 16)));
        button->setToolTip(swatch.name);
        button->setAccessibleName(swatch.name);
        connect(button, &QToolButton::clicked, this,
                [this, color = swatch.color] { setColor(color); });
        colors->addWidget(button);
    }
    colors->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(styles);
    layout->addLayout(colors);
    layout->addWidget(m_sample);
    layout->addWidget(buttons);

    // Connected after the initial values are in, so that only the user's choice of family
    // replaces the initial name (which may be a name this system only knows by an alias).
    connect(m_familyBox, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        m_family = font.family();
        updateSample();
    });
    connect(m_size, &QComboBox::currentTextChanged, this, &FontColorDialog::updateSample);
    for (QCheckBox* box : {m_bold, m_italic, m_underline, m_strikethrough})
        connect(box, &QCheckBox::toggled, this, &FontColorDialog::updateSample);
    connect(m_colorButton, &QPushButton::clicked, this, &FontColorDialog::pickOtherColor);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateSample();
}

TextFont FontColorDialog::textFont() const {
    const double size = numericValue(m_size->currentText());
    return TextFont{m_family,
                    size > 0 ? size : m_initialSize,
                    m_bold->isChecked(),
                    m_italic->isChecked(),
                    m_underline->isChecked(),
                    m_strikethrough->isChecked(),
                    fromQColor(m_color)};
}

void FontColorDialog::setColor(const QColor& color) {
    m_color = color;
    m_colorButton->setIcon(colorIcon(color, QSize(40, 16)));
    m_colorButton->setIconSize(QSize(40, 16));
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
    m_sample->setFont(font);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, m_color);
    palette.setColor(QPalette::Window, Qt::white);
    m_sample->setPalette(palette);
}
