// The window's format commands: saving and deleting a format, and adjusting a field's font,
// spacing and position in it.
#include "MainWindow.h"

#include "ChequeTab.h"
#include "CollateDialog.h"
#include "Database.h"
#include "FormatCommands.h"
#include "FormatNameDialog.h"
#include "FormatStore.h"
#include "FormatTab.h"
#include "NumberText.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

void MainWindow::saveFormat() {
    m_chequeTab->finishEditing();
    if (SaveFormatFromGrid(m_services.db, m_formatGrid, m_displays.currentFormat, m_cheque,
                           m_displays, m_progress, m_services.prompts)) {
        reloadPrintFormat();
        m_formatTab->showFormat(m_displays);
        m_chequeTab->showCheque();
    }
}

void MainWindow::saveFormatAs() {
    m_chequeTab->finishEditing();
    // Read afresh: another clerk may have added or deleted a format since the list was shown.
    const QString name = FormatNameDialog::chooseFormatName(storedFormatNames(m_services.db),
                                                            m_displays.currentFormat, true, this);
    if (SaveFormatAs(m_services.db, m_formatGrid, name, m_cheque, m_displays, m_progress,
                     m_services.prompts)) {
        reloadPrintFormat();
        showFormatList();
        m_formatTab->showFormat(m_displays);
        m_chequeTab->showCheque();
    }
}

void MainWindow::deleteFormat() {
    m_chequeTab->finishEditing();
    const QString name = FormatNameDialog::chooseFormatName(storedFormatNames(m_services.db),
                                                            m_displays.currentFormat, false, this);
    if (DeleteFormat(m_services.db, name, m_displays, m_services.prompts)) {
        reloadPrintFormat();
        showFormatList();
    }
}

void MainWindow::adjustFont(int field) {
    if (field < 0)
        return;
    const std::optional<TextFont> chosen = m_services.prompts.chooseFont(m_cheque.font(field));
    if (!chosen)
        return;
    m_cheque.setFont(field, *chosen);
    m_chequeTab->showCheque();
    UpdateFieldSettings(m_services.db, field, m_cheque, m_displays.currentFormat, std::nullopt,
                        std::nullopt, std::nullopt);
    showFormatGrid();
}

void MainWindow::adjustSpacing(int field) {
    if (field < 0)
        return;
    QString stored;
    if (const std::optional<FieldPosition> position = storedFieldPosition(
            m_services.db, m_displays.currentFormat, field, m_cheque.kind().id.toString()))
        stored = numberText(position->s);
    const QString answer = m_services.prompts.inputBox(u"请输入字符间距（毫米）："_s, {}, stored);
    if (answer.isEmpty())
        return;
    UpdateFieldSettings(m_services.db, field, m_cheque, m_displays.currentFormat, std::nullopt,
                        std::nullopt, numericValue(answer));
    showFormatGrid();
}

void MainWindow::adjustPosition(int field) {
    if (field < 0)
        return;
    auto* dialog = new CollateDialog(
        m_services.db, m_displays.currentFormat, field, m_cheque, [this] { showFormatGrid(); },
        this);
    // Modal to the window, which takes no input until the position is stored or cancelled.
    dialog->open();
}
