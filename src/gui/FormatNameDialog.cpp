#include "FormatNameDialog.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "CentreOnScreen.h"
#include "DialogKeys.h"
#include "WindowWait.h"

using namespace Qt::StringLiterals;

namespace {

const QString kCaption = u"请选择要保存/删除的格式名称"_s;

}  // namespace

FormatNameDialog::FormatNameDialog(const QStringList& names, const QString& current, bool saveAs,
                                   QString& selectedFormatName, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_saveAs(saveAs),
      m_selected(selectedFormatName),
      m_names(new QComboBox(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(u"SelFormat"_s);
    setWindowTitle(kCaption);
    m_names->setObjectName(u"CMB"_s);
    m_names->setAccessibleName(u"格式名称"_s);
    m_names->setEditable(saveAs);
    m_names->setInsertPolicy(QComboBox::NoInsert);
    m_names->addItems(names);
    m_names->setCurrentIndex(m_names->findText(current, Qt::MatchExactly));
    m_names->setMinimumContentsLength(24);
    m_names->installEventFilter(this);  // in delete mode nothing can be typed

    auto* ok = new QPushButton(u"确    定"_s, this);
    m_cancel = new QPushButton(u"取    消"_s, this);
    ok->setObjectName(u"COM0"_s);
    m_cancel->setObjectName(u"COM1"_s);
    ok->setAccessibleName(ok->text());
    m_cancel->setAccessibleName(m_cancel->text());
    connect(ok, &QPushButton::clicked, this, &FormatNameDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_names);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

QString FormatNameDialog::chooseFormatName(const QStringList& names, const QString& current,
                                           bool saveAs, QWidget* parent) {
    QString name;
    QPointer<FormatNameDialog> dialog = new FormatNameDialog(names, current, saveAs, name, parent);
    dialog->show();
    WaitWhileFormOpen(kCaption);
    delete dialog.data();  // a dialog hidden rather than closed refers to `name`
    return name;
}

void FormatNameDialog::accept() {
    m_selected = m_names->currentText().trimmed();
    close();
}

bool FormatNameDialog::eventFilter(QObject* watched, QEvent* event) {
    if (!m_saveAs && watched == m_names && typesCharacter(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void FormatNameDialog::keyPressEvent(QKeyEvent* event) {
    if (!answerDialogKey(
            event, m_cancel, [this] { accept(); }, [this] { close(); }))
        QWidget::keyPressEvent(event);
}

void FormatNameDialog::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    centreOnScreen(*this);
    // The keys go to the list at once, so the choice can be made without the mouse.
    activateWindow();
    m_names->setFocus();
}
