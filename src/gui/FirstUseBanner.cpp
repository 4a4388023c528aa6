#include "FirstUseBanner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Beside the option switches, so that it is the user's own like them.
const QString kHiddenKey = u"CHK_F/Parameter/FirstUseHidden"_s;

}  // namespace

FirstUseBanner::FirstUseBanner(QSettings& settings, QWidget* parent)
    : QFrame(parent), m_settings(settings), m_line(new QLabel), m_hide(new QToolButton) {
    setObjectName(u"FirstUse"_s);
    setFrameShape(QFrame::StyledPanel);
    m_line->setObjectName(u"FirstUseLine"_s);
    m_line->setTextFormat(Qt::RichText);
    m_line->setText(u"首次使用请先校准打印机：<a href=\"margin\">格式 → 修改页边距</a>"_s);
    m_line->setAccessibleName(u"首次使用请先校准打印机：格式 → 修改页边距"_s);
    m_line->setWordWrap(true);
    m_line->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_hide->setObjectName(u"FirstUseHide"_s);
    m_hide->setText(u"×"_s);
    m_hide->setAutoRaise(true);
    m_hide->setToolTip(u"不再显示"_s);
    m_hide->setAccessibleName(u"不再显示"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 2, 2);
    row->addWidget(m_line, 1);
    row->addWidget(m_hide, 0, Qt::AlignTop);
    connect(m_line, &QLabel::linkActivated, this, &FirstUseBanner::calibrateRequested);
    connect(m_hide, &QToolButton::clicked, this, &FirstUseBanner::dismiss);
    setVisible(false);
}

void FirstUseBanner::showWhile(bool firstUse) {
    setVisible(firstUse && !m_settings.value(kHiddenKey).toBool());
}

void FirstUseBanner::dismiss() {
    m_settings.setValue(kHiddenKey, true);
    m_settings.sync();
    setVisible(false);
}
