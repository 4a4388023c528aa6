#include "ChequeTab.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtMath>

#include <utility>

#include "ChequeCanvas.h"
#include "ChequeGeometry.h"
#include "Colors.h"
#include "DateCapitals.h"
#include "Document.h"
#include "FieldInput.h"
#include "FieldValidator.h"
#include "FlowLayout.h"
#include "PainterSurface.h"
#include "TextCharacters.h"
#include "WrappingField.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kSuppressedText(160, 160, 160);

// The place of a field on the document's picture, in mm, and the part it lies on.
std::pair<QRectF, QString> placeOf(const DocumentKind& kind, int index) {
    const QStringView identifier = kind.fields[size_t(index)].identifier;
    if (const ChequeGeometry::Place* place = ChequeGeometry::of(kind).placeOf(identifier))
        return {place->rect, place->part};
    return {};
}

// What the print button says for the kind: the transfer cheque's caption, spaced as the other
// buttons' are, or 打印 and the kind's name.
QString printCaption(const DocumentKind& kind) {
    return &kind == &transferCheque() ? u"打 印 支 票"_s : u"打印"_s + kind.id.toString();
}

// A button's caption with the letter that Alt presses; its name as read aloud has no letter.
void labelButton(QPushButton* button, const QString& caption, char16_t letter) {
    button->setAccessibleName(caption);
    button->setText(caption + u"(&"_s + QChar(letter) + u')');
}

// The scroll area of the cheque: as large as the cheque when there is room for it, with a
// scroll bar's height more when it is narrower than the cheque.
class ChequeScrollArea final : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget()->sizeHint() + QSize(frame, frame);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QSize hint = sizeHint();
        return hint.height() +
               (width < hint.width() ? horizontalScrollBar()->sizeHint().height() : 0);
    }
};

// The text an edit shows, and what the program puts in it: shown whole (the character filter
// and the length limit are for typing only) and without the signals of an edit by the user.
QString textOf(const QWidget* field) {
    if (const auto* line = qobject_cast<const QLineEdit*>(field))
        return line->text();
    return static_cast<const QTextEdit*>(field)->toPlainText();
}

void showText(QWidget* field, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        const QValidator* validator = line->validator();
        line->setValidator(nullptr);
        line->setText(text);
        line->setValidator(validator);
        return;
    }
    const QSignalBlocker blocker(field);
    static_cast<QTextEdit*>(field)->setPlainText(text);
}

}  // namespace

ChequeTab::ChequeTab(Document& cheque, Prompts& prompts,
                     std::function<QStringList(const QString& column)> pickList, QWidget* parent)
    : QWidget(parent),
      m_cheque(cheque),
      m_prompts(prompts),
      m_pickListSource(std::move(pickList)),
      m_canvas(new ChequeCanvas(this)),
      m_area(new ChequeScrollArea(this)),
      m_pickList(new QComboBox(m_canvas)),
      m_datePicker(new QCalendarWidget(m_canvas)),
      m_print(new QPushButton(this)),
      m_endorse(new QPushButton(this)),
      m_printBack(new QPushButton(this)),
      m_preview(new QPushButton(this)),
      m_panel(new QWidget(this)) {
    m_canvas->setKind(m_cheque.kind());
    buildFields();

    m_pickList->setObjectName(u"COMB"_s);
    m_pickList->setEditable(true);
    m_pickList->setInsertPolicy(QComboBox::NoInsert);
    m_pickList->setToolTip(u"使用方法：从下拉菜单中选择您所需选项。"_s);
    m_pickList->setAccessibleName(u"选择列表"_s);
    m_pickList->hide();
    connect(m_pickList, &QComboBox::editTextChanged, this, &ChequeTab::pickListChanged);
    connect(m_pickList, &QComboBox::textActivated, this, &ChequeTab::pickListChanged);

    m_datePicker->setObjectName(u"DTP1"_s);
    m_datePicker->setToolTip(u"使用方法：点击选择您所需的支票开具日期即可。"_s);
    m_datePicker->setAccessibleName(u"日期选择"_s);
    m_datePicker->setGridVisible(true);
    m_datePicker->setAutoFillBackground(true);
    m_datePicker->hide();
    connect(m_datePicker, &QCalendarWidget::clicked, this, &ChequeTab::datePicked);
    connect(m_datePicker, &QCalendarWidget::activated, this, &ChequeTab::datePicked);

    buildFeedOptions();
    buildSwitches();
    m_preview->setObjectName(u"Preview"_s);
    connect(m_preview, &QPushButton::clicked, this, &ChequeTab::previewRequested);
    labelButton(m_print, printCaption(m_cheque.kind()), u'P');
    labelButton(m_endorse, u"打 印 背 书"_s, u'B');
    labelButton(m_preview, u"打印预览"_s, u'V');
    labelButton(m_printBack, u"打印背面"_s, u'M');
    for (QPushButton* button : {m_print, m_endorse, m_preview, m_printBack})
        button->setMinimumHeight(32);
    m_endorse->setVisible(m_cheque.kind().endorsable);
    m_printBack->setVisible(hasBack(m_cheque.kind()));
    m_print->setObjectName(u"Comm1"_s);
    // A shortcut of its own: the button's one shortcut is its underlined letter.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this), &QShortcut::activated, m_print,
            [this] { m_print->animateClick(); });
    m_endorse->setObjectName(u"Comm0"_s);
    connect(m_print, &QPushButton::clicked, this, &ChequeTab::printRequested);
    connect(m_endorse, &QPushButton::clicked, this, &ChequeTab::endorseRequested);
    m_printBack->setObjectName(u"PrintBack"_s);
    connect(m_printBack, &QPushButton::clicked, this, &ChequeTab::printBackRequested);

    // The cheque scrolls when the screen is too small for it; it takes no room of the focus
    // chain, nor a frame of its own.
    auto* sheet = new QWidget;
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->addWidget(m_canvas, 0, Qt::AlignHCenter);
    sheetLayout->addStretch();
    m_area->setObjectName(u"ChequeArea"_s);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setFocusPolicy(Qt::NoFocus);
    m_area->setWidgetResizable(true);
    m_area->setWidget(sheet);
    m_area->viewport()->setAutoFillBackground(false);  // the tab's own background
    sheet->setAutoFillBackground(false);
    m_area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_preview);
    buttons->addWidget(m_print);
    buttons->addWidget(m_printBack);
    buttons->addWidget(m_endorse);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_panel, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_area);
    layout->addLayout(bottom);
    layout->addStretch();
    chainFocus();
}

void ChequeTab::showKind() {
    hidePopups();
    m_pickTarget = -1;
    // Out of the lists first: a widget being deleted still sends events through the filter,
    // which looks its field up in them.
    const std::vector<QWidget*> fields = std::exchange(m_fields, {});
    const std::vector<QCheckBox*> boxes = std::exchange(m_chk, {});
    qDeleteAll(fields);
    qDeleteAll(boxes);
    m_canvas->setKind(m_cheque.kind());
    m_area->updateGeometry();  // its size follows the document's, which it is not told of
    buildFields();
    buildSwitches();
    for (QWidget* field : m_fields)
        field->show();  // the canvas is shown already
    labelButton(m_print, printCaption(m_cheque.kind()), u'P');
    m_endorse->setVisible(m_cheque.kind().endorsable);
    m_printBack->setVisible(hasBack(m_cheque.kind()));
    chainFocus();
    showCheque();
}

bool ChequeTab::isStubField(int index) const {
    return partOf(m_cheque.kind(), index) == kStubPart;
}

// Once every widget has its parent: the focus runs in the fields' own order (a cheque's date,
// payee, bank, account, amount, purpose, password, then the stub, then the back), then to
// printing and the back's print, then to the other prints.
void ChequeTab::chainFocus() {
    const std::span<const ChequeFieldInfo> fields = m_cheque.kind().fields;
    std::vector<const ChequeFieldInfo*> order(fields.size());
    for (const ChequeFieldInfo& info : fields)
        order[size_t(info.tabOrder)] = &info;
    QList<QWidget*> chain;
    for (const ChequeFieldInfo* info : order)
        chain << m_fields[size_t(info->index)];
    chain << m_print << m_printBack << m_preview << m_endorse;
    for (qsizetype k = 1; k < chain.size(); ++k)
        setTabOrder(chain[k - 1], chain[k]);
}

void ChequeTab::buildFields() {
    const DocumentKind& kind = m_cheque.kind();
    m_fields.assign(kind.fields.size(), nullptr);
    for (const ChequeFieldInfo& info : kind.fields) {
        const int i = info.index;
        auto accepts = [&kind, i](char16_t c) { return acceptsCharacter(kind, i, c); };
        auto [rect, part] = placeOf(kind, i);
        for (const ChequeGeometry::SwitchBox& box : ChequeGeometry::of(kind).switchBoxes)
            if (box.field == i && box.rect.top() > rect.top())  // room for its box at the end
                rect.setRight(box.rect.left() - 0.5);
        QWidget* edit;
        if (info.drawing == FieldDrawing::Lines) {
            auto* wrapping = new WrappingField(accepts, info.maxLength, m_canvas);
            wrapping->setPlaceholderText(info.placeholder.toString());
            wrapping->setBox(m_canvas->toPixels(rect, part));
            wrapping->viewport()->installEventFilter(this);  // its mouse events
            connect(wrapping, &QTextEdit::textChanged, this,
                    [this, i, wrapping] { fieldEdited(i, wrapping->toPlainText()); });
            edit = wrapping;
        } else {
            auto* line = new QLineEdit(m_canvas);
            line->setPlaceholderText(info.placeholder.toString());
            line->setFrame(false);
            line->setValidator(new FieldValidator(accepts, info.maxLength, line));
            line->setGeometry(m_canvas->toPixels(rect, part));
            // What the program derives (the capitals of the amount) can be selected and copied,
            // never typed over, and the Tab key passes it by.
            if (info.input == FieldInput::Derived) {
                line->setReadOnly(true);
                line->setFocusPolicy(Qt::ClickFocus);
            }
            if (info.drawing == FieldDrawing::Boxes)  // the figures end in the last box
                line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            connect(line, &QLineEdit::textEdited, this,
                    [this, i](const QString& text) { fieldEdited(i, text); });
            edit = line;
        }
        edit->setObjectName(info.tag.toString());
        edit->setAccessibleName(info.identifier.toString());
        edit->setToolTip(info.toolTip.toString());
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        // A field that the program derives (the amount in capitals) is grey.
        edit->setStyleSheet(info.input == FieldInput::Derived
                                ? u"background: rgb(224, 224, 224);"_s
                                : u"background: rgba(255, 255, 255, 140);"_s);
        edit->installEventFilter(this);
        m_fields[size_t(i)] = edit;
    }
}

void ChequeTab::buildSwitches() {
    const DocumentKind& kind = m_cheque.kind();
    m_chk.assign(kind.switches.size(), nullptr);
    for (int i = 0; i < int(kind.switches.size()); ++i) {
        const SwitchInfo& info = kind.switches[size_t(i)];
        auto* box = new QCheckBox(info.caption.toString());
        box->setObjectName(u"Chk%1"_s.arg(i));
        box->setAccessibleName(info.caption.toString());
        box->setToolTip(info.toolTip.toString());
        // However it changed: a click, the keyboard, a screen reader or the program. When the
        // program shows the stored switches, the boxes' signals are blocked.
        connect(box, &QCheckBox::stateChanged, this,
                [this, i](int state) { switchChanged(i, Qt::CheckState(state)); });
        m_chk[size_t(i)] = box;
    }
    // The boxes of single fields stand on the document beside them; the others below it.
    for (const ChequeGeometry::SwitchBox& place : ChequeGeometry::of(kind).switchBoxes) {
        QCheckBox* box = m_chk[size_t(switchKeepingOff(kind, place.field))];
        box->setParent(m_canvas);
        box->setGeometry(m_canvas->toPixels(place.rect, placeOf(kind, place.field).second));
        QFont small = box->font();
        small.setPixelSize(11);
        box->setFont(small);
        box->show();
    }
    for (QCheckBox* box : m_chk) {
        if (box->parent() == m_canvas)
            continue;
        box->setParent(m_panel);
        m_panel->layout()->addWidget(box);
        box->show();
    }
}

void ChequeTab::buildFeedOptions() {
    auto* group = new QButtonGroup(this);
    auto* layout = new FlowLayout(m_panel);
    for (int i = 0; i < 2; ++i) {
        const SwitchInfo& info = feedOptions()[size_t(i)];
        auto* option = new QRadioButton(info.caption.toString(), m_panel);
        option->setObjectName(u"OP%1"_s.arg(i));
        option->setAccessibleName(info.caption.toString());
        option->setToolTip(info.toolTip.toString());
        group->addButton(option, i);
        layout->addWidget(option);
        m_op[size_t(i)] = option;
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)  // the other one, unchecked by the group
            return;
        m_cheque.setCrosswise(id == 0);
        showCheque();
    });
}

void ChequeTab::showCheque() {
    showFieldTexts();
    for (int i = 0; i < int(m_fields.size()); ++i) {
        const TextFont& font = m_cheque.font(i);
        QFont shown = toQFont(font);
        // As large on the screen as on the cheque.
        shown.setPixelSize(qMax(8, qRound(font.size * 25.4 / 72 * ChequeCanvas::kPixelsPerMm)));
        QWidget* edit = m_fields[size_t(i)];
        edit->setFont(shown);
        // A field its switch keeps off the paper is grey: it stays, and stays editable, but will
        // not print.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text,
                         m_cheque.suppressed(i) ? kSuppressedText : toQColor(font.color));
        edit->setPalette(palette);
    }
    for (int i = 0; i < int(m_chk.size()); ++i) {
        QCheckBox* box = m_chk[size_t(i)];
        const QSignalBlocker blocker(box);
        // A stored 2 is the greyed state a check box can hold too.
        const int value = m_cheque.chk(i);
        box->setTristate(value == 2);
        box->setCheckState(value == 0 ? Qt::Unchecked
                                      : (value == 1 ? Qt::Checked : Qt::PartiallyChecked));
    }
    {
        const QSignalBlocker groupBlocker(m_op[0]->group());
        for (int i = 0; i < 2; ++i) {
            const QSignalBlocker blocker(m_op[size_t(i)]);
            m_op[size_t(i)]->setChecked((i == 0) == m_cheque.crosswise());
        }
    }
    const bool stub = m_cheque.stubVisible();
    m_canvas->setStubShown(stub);
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (isStubField(i))
            m_fields[size_t(i)]->setVisible(stub);
}

void ChequeTab::showFieldTexts() {
    // Each field shows what it prints: the capitals are those of the figures, none while the
    // figures are refused.
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (const QString shown = m_cheque.printedText(i); textOf(m_fields[size_t(i)]) != shown)
            showText(m_fields[size_t(i)], shown);
    emit chequeChanged();
}

void ChequeTab::fieldEdited(int index, const QString& text) {
    if (text == m_cheque.text(index))
        return;
    m_cheque.setText(index, text);
    emit chequeChanged();
}

void ChequeTab::switchChanged(int index, Qt::CheckState state) {
    m_cheque.setChk(index, state == Qt::Unchecked ? 0 : (state == Qt::Checked ? 1 : 2));
    showCheque();
}

void ChequeTab::leaveField(int index) {
    if (m_leaving)
        return;
    m_leaving = true;
    m_cheque.setText(index, textOf(m_fields[size_t(index)]));
    leaveBodyField(m_cheque, index, m_prompts);
    showFieldTexts();
    m_leaving = false;
    emit fieldLeft(index);
}

void ChequeTab::focusFirstField() {
    for (const ChequeFieldInfo& info : m_cheque.kind().fields)
        if (info.tabOrder == 0)
            m_fields[size_t(info.index)]->setFocus();
}

void ChequeTab::finishEditing() {
    const int index = indexOf(QApplication::focusWidget());
    if (index >= 0 && !isStubField(index))
        leaveField(index);
    hidePopups();
}

void ChequeTab::hidePopups() {
    m_datePicker->hide();
    m_pickList->hide();
}

void ChequeTab::openPickList(int index) {
    m_datePicker->hide();
    m_pickTarget = index;
    const QRect at = m_fields[size_t(index)]->geometry();
    {
        const QSignalBlocker blocker(m_pickList);
        m_pickList->clear();
        m_pickList->addItems(
            m_pickListSource(m_cheque.kind().fields[size_t(index)].historyColumn.toString()));
        m_pickList->setEditText(textOf(m_fields[size_t(index)]));
    }
    m_pickList->setGeometry(at.left(), at.top(), at.width(), m_pickList->sizeHint().height());
    m_pickList->show();
    m_pickList->raise();
    m_pickList->setFocus();
}

void ChequeTab::pickListChanged(const QString& text) {
    if (m_pickTarget < 0 || !m_pickList->isVisible())
        return;
    m_cheque.setText(m_pickTarget, text);
    // An amount typed half-way is no mistake yet: it stays as typed, without a message on
    // every key, until it reads as an amount (printing refuses it meanwhile).
    if (m_pickTarget != m_cheque.field(FieldRole::Amount) || figuresOfTypedAmount(text))
        leaveBodyField(m_cheque, m_pickTarget, m_prompts);
    showFieldTexts();
    emit fieldLeft(m_pickTarget);
}

void ChequeTab::openDatePicker(int index) {
    m_pickList->hide();
    const QDate shown = CapitalDateToDate(m_cheque.textOf(FieldRole::IssueYear),
                                          m_cheque.textOf(FieldRole::IssueMonth),
                                          m_cheque.textOf(FieldRole::IssueDay));
    m_datePicker->setSelectedDate(shown.isValid() ? shown : QDate::currentDate());
    const QRect field = m_fields[size_t(index)]->geometry();
    m_datePicker->resize(m_datePicker->sizeHint());
    m_datePicker->move(field.left(), field.bottom() + 2);
    m_datePicker->show();
    m_datePicker->raise();
}

void ChequeTab::datePicked(const QDate& date) {
    m_datePicker->hide();
    enterDate(m_cheque, date, m_prompts);
    showFieldTexts();
}
