// The window's format commands: saving and deleting a format, and adjusting a field's font,
// spacing and position in it.
#include "MainWindow.h"

#include <QFile>

#include "ChequeTab.h"
#include "CollateDialog.h"
#include "Database.h"
#include "FormatCommands.h"
#include "FormatFile.h"
#include "FormatNameDialog.h"
#include "FormatStore.h"
#include "FormatTab.h"
#include "NumberText.h"
#include "OutputFile.h"
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

namespace {

const QString kFormatFiles = u"格式文件|*.chequeformat|JSON 文件|*.json"_s;

}  // namespace

void MainWindow::exportFormat() {
    const QString name = m_displays.currentFormat;
    std::optional<FormatFile> file = storedFormatFile(m_services.db, name, m_cheque.kind(), true);
    if (!file)
        return;
    if (!file->background.image.isEmpty() &&
        m_services.prompts.message(u"是否把底图一并导出？"_s, {}, PromptButtons::YesNo) !=
            PromptAnswer::Yes)
        file->background = {};
    const QString target = m_services.prompts.saveFile(FilePurpose::FormatFile, u"导出格式"_s,
                                                       kFormatFiles, name + u".chequeformat"_s);
    if (target.isEmpty())
        return;
    // Written whole or not at all: a file that was there stays as it was when writing fails.
    OutputFile out(target);
    const QByteArray json = formatFileJson(*file);
    const bool written = out.open() && out.device().write(json) == json.size() && out.commit();
    m_services.prompts.message(written ? u"导出完成！"_s : u"格式文件无法写入：%1"_s.arg(target),
                               {}, PromptButtons::Ok);
}

void MainWindow::importFormat() {
    const QString source =
        m_services.prompts.openFile(FilePurpose::FormatFile, u"导入格式"_s, kFormatFiles);
    if (source.isEmpty())
        return;
    QFile in(source);
    QString why = u"格式文件无法读取"_s;
    const std::optional<FormatFile> file =
        in.open(QIODevice::ReadOnly) ? readFormatFile(in.read(kMostFormatFileBytes + 1), &why)
                                     : std::nullopt;
    if (!file) {
        m_services.prompts.message(u"无法导入格式：%1"_s.arg(why), {}, PromptButtons::Ok);
        return;
    }
    const bool exists = storedFormatNames(m_services.db, file->kind).contains(file->name);
    if (exists && m_services.prompts.message(u"该格式已经存在，是否覆盖？"_s, {},
                                             PromptButtons::YesNo) != PromptAnswer::Yes)
        return;
    if (!storeFormatFile(m_services.db, *file, file->name))
        return;
    // The format shown is read again: it may be the one just replaced.
    if (file->kind == m_cheque.kind().id) {
        reloadPrintFormat();
        showFormatList();
        showFormatGrid();
    }
    m_services.prompts.message(u"导入完成！格式“%1”（%2）已保存。"_s.arg(file->name, file->kind),
                               {}, PromptButtons::Ok);
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
