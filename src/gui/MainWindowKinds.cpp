// The window's kinds of document: switching between them, and a deposit slip filled from a
// kept cheque.
#include "MainWindow.h"

#include <QComboBox>
#include <QMenuBar>
#include <QTabWidget>

#include "ChequeGeometry.h"
#include "ChequeTab.h"
#include "Database.h"
#include "FormatStore.h"
#include "FormatTab.h"
#include "HistoryRecords.h"
#include "HistoryTab.h"
#include "OptionFlags.h"
#include "PreviewWindow.h"
#include "Prompts.h"
#include "SlipFromCheque.h"
#include "StartingCheque.h"
#include "UserState.h"
#include "WindowFit.h"

using namespace Qt::StringLiterals;

void MainWindow::growToFit() {
    const QRect area = screenArea(*this);
    if (area.isEmpty())
        return;
    const QSize room = area.size().shrunkBy(frameAllowance(*this));
    // At this width, as fitToScreen measures it: the switches may take more lines.
    const int natural = qMax(sizeHint().height(), menuBar()->sizeHint().height() +
                                                      centralWidget()->heightForWidth(width()));
    const int wanted = qBound(height(), natural, qMax(height(), room.height()));
    if (wanted == height())
        return;
    resize(width(), wanted);
    // Grown past the bottom of the screen, it would hide its own buttons there: it comes up
    // by as much, never above the top.
    const QRect frame = frameGeometry();
    if (frame.bottom() > area.bottom())
        move(frame.left(), qMax(area.top(), frame.top() - (frame.bottom() - area.bottom())));
}

void MainWindow::switchKind(const DocumentKind& kind) {
    m_chequeTab->finishEditing();
    const QSignalBlocker blocker(m_kindList);
    m_kindList->setCurrentText(kind.id.toString());
    if (&kind == &m_cheque.kind())
        return;
    // What was typed is kept, in memory and as the kind's last input, before anything else.
    SaveOptionFlags(m_cheque, m_services.settings);
    saveLastInput(m_services.db, m_cheque);
    m_putAside.insert_or_assign(m_cheque.kind().id.toString(), m_cheque);
    m_keptFront = {};
    const QString id = kind.id.toString();
    storeCurrentKind(m_services.db, id);
    ListFormatNames(m_services.db, m_displays, id);
    showFormatList();
    if (const auto found = m_putAside.find(id); found != m_putAside.end()) {
        m_cheque = found->second;
        ApplyFormatFonts(m_services.db, m_displays.currentFormat, m_cheque, m_progress);
    } else {
        m_cheque = Document(kind);
        startCheque(m_cheque,
                    {.switches = storedOptionFlags(m_services.settings, kind),
                     .format = m_displays.currentFormat},
                    m_services.db, m_services.prompts, m_services.clock, m_progress);
    }
    m_historyList.setKind(id);
    m_chequeTab->showKind();
    // Once the layouts have taken the new document's size, which they do on posted events.
    QMetaObject::invokeMethod(this, &MainWindow::growToFit, Qt::QueuedConnection);
    showKindCommands();
    showFormatGrid();
    showFirstUse();
    if (m_tabs->currentWidget() == m_historyTab)
        m_historyTab->showHistory();
    if (m_preview)
        m_preview->redraw();
}

void MainWindow::showKindCommands() {
    const DocumentKind& kind = m_cheque.kind();
    for (QAction* action : m_chequeBookActions)
        action->setVisible(kind.numbered);
    m_stubWidthAction->setVisible(hasPart(kind, kStubPart));
}

void MainWindow::fillSlipFromHistoryRow(int row) {
    m_chequeTab->finishEditing();
    if (row < 0 || row >= m_historyList.count())
        return;
    QString why;
    std::optional<Document> slip =
        slipFromCheque(m_services.db, m_historyList.id(row), m_services.clock, &why);
    if (!slip) {
        if (!why.isEmpty())
            m_services.prompts.message(why, u"填写进账单"_s, PromptButtons::Ok);
        return;
    }
    switchKind(slip->kind());
    // The slip keeps the switches and fonts the cashier has for slips.
    applyOptionFlags(*slip, optionFlagsText(m_cheque));
    for (int field = 0; field < int(m_cheque.kind().fields.size()); ++field)
        slip->setFont(field, m_cheque.font(field));
    m_cheque = *slip;
    m_chequeTab->showCheque();
    m_tabs->setCurrentWidget(m_chequeTab);
    if (m_preview)
        m_preview->redraw();
}
