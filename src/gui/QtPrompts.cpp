#include "QtPrompts.h"

#include <algorithm>

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTranslator>

#include "FontColorDialog.h"
#include "WindowFit.h"

using namespace Qt::StringLiterals;

namespace {

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? applicationTitle() : title;
}

// The filter comes as "description|pattern|description|pattern"; each description ends in its
// pattern in parentheses, which is the form Qt's dialog reads.
QString dialogFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList choices;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        choices << parts[i];
    return choices.join(u";;"_s);
}

// Whether a window can own a prompt: a visible window, not a passing one such as the open
// list of a combo box or a tool tip.
bool canOwnPrompts(const QWidget* window) {
    if (!window || !window->isVisible())
        return false;
    const Qt::WindowType type = window->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen &&
           type != Qt::Desktop;
}

// Whether `window` is `modal` itself or one of the windows it owns, which its modality leaves
// free: a printer dialog opened from the batch dialog.
bool isOwnedBy(const QWidget* window, const QWidget* modal) {
    for (const QWidget* w = window; w; w = w->parentWidget())
        if (w == modal)
            return true;
    return false;
}

// A window that stays on top hides every window that does not, its own dialogs too: a
// dialog of such a window stays on top as well.
void keepAbove(QWidget& dialog, const QWidget* owner) {
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

// Icons and type names without looking inside the files. Qt's own providers ask the MIME
// database, which reads a file whose name does not tell its type (DATA.db-wal) and closes it
// again; closing any descriptor of the database's files drops every lock SQLite holds on
// them, and another program could then write while this one reads or writes.
class NameOnlyIconProvider final : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override {
        return QApplication::style()->standardIcon(type == Folder ? QStyle::SP_DirIcon
                                                                  : QStyle::SP_FileIcon);
    }
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? u"文件夹"_s : u"文件"_s;
    }
};

// The choice of the filter whose pattern the name matches ("*.xlsx" for "a.xlsx"); -1 for none.
int matchingChoice(const QString& filter, const QString& name) {
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 1; i < parts.size(); i += 2)
        for (const QString& pattern : parts[i].split(u';'))
            if (pattern.startsWith(u"*."_s) && name.endsWith(pattern.mid(1), Qt::CaseInsensitive))
                return int(i / 2);
    return -1;
}

// A file dialog that never looks inside the files it lists (Qt's own, not the system's, which
// reads them to show their types), opening in `folder`, else in the folder of the default
// name, else in the user's documents folder. The chosen path, or an empty text when
// cancelled; the index of the filter's choice selected at the end goes to `chosenFilter`.
QString chooseFile(QWidget* owner, QFileDialog::AcceptMode mode, const QString& title,
                   const QString& filter, const QString& folder, const QString& defaultName,
                   int* chosenFilter) {
    NameOnlyIconProvider icons;  // declared first: the dialog's model refers to it to its end
    QFileDialog dialog(owner, title, {}, dialogFilter(filter));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    // Replacing a file is asked by the program itself, once.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    const QFileInfo name(defaultName);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        dialog.setDirectory(folder);
    } else if (!defaultName.isEmpty() && name.path() != u"."_s) {
        dialog.setDirectory(name.absolutePath());
    } else {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        dialog.setDirectory(QFileInfo(documents).isDir() ? documents : QDir::homePath());
    }
    if (!defaultName.isEmpty()) {
        dialog.selectFile(name.fileName());
        if (const int choice = matchingChoice(filter, defaultName); choice >= 0)
            dialog.selectNameFilter(dialog.nameFilters().value(choice));
    }
    keepAbove(dialog, owner);
    fitOnScreen(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    if (chosenFilter)
        *chosenFilter = std::max(0, int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().value(0);
}

}  // namespace

QWidget* QtPrompts::owner() const {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* active = QApplication::activeWindow();
    if (canOwnPrompts(active) && (!modal || isOwnedBy(active, modal)))
        return active;
    return modal ? modal : m_parent;
}

PromptAnswer QtPrompts::message(const QString& text, const QString& title, PromptButtons buttons) {
    using B = QMessageBox::StandardButton;
    QMessageBox::StandardButtons standard = B::Ok;
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (buttons) {
        case PromptButtons::Ok:
            break;
        case PromptButtons::OkCancel:
            standard = B::Ok | B::Cancel;
            icon = QMessageBox::Question;
            break;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoDefaultNo:
            standard = B::Yes | B::No;
            icon = QMessageBox::Question;
            break;
        case PromptButtons::YesNoCancel:
            standard = B::Yes | B::No | B::Cancel;
            icon = QMessageBox::Question;
            break;
    }
    QWidget* parent = owner();
    QMessageBox box(icon, titleOrDefault(title), text, standard, parent);
    keepAbove(box, parent);
    if (buttons == PromptButtons::YesNoDefaultNo)
        box.setDefaultButton(B::No);
    switch (box.exec()) {
        case B::Yes:
            return PromptAnswer::Yes;
        case B::No:
            return PromptAnswer::No;
        case B::Ok:
            return PromptAnswer::Ok;
        default:
            return PromptAnswer::Cancel;
    }
}

std::optional<int> QtPrompts::choose(const QString& text, const QString& title,
                                     const QStringList& choices) {
    QWidget* parent = owner();
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text, QMessageBox::NoButton,
                    parent);
    keepAbove(box, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << static_cast<QAbstractButton*>(box.addButton(choice, QMessageBox::ActionRole));
    if (!buttons.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    // No way out: Escape and the title bar's close do nothing until a button is pressed.
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return pressed >= 0 ? std::optional<int>(int(pressed)) : std::nullopt;
}

QString QtPrompts::inputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
    QWidget* parent = owner();
    QInputDialog dialog(parent);
    keepAbove(dialog, parent);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPrompts::saveFileName(const QString& title, const QString& filter,
                                const QString& defaultName, int* chosenFilter) {
    return chooseFile(owner(), QFileDialog::AcceptSave, title, filter, {}, defaultName,
                      chosenFilter);
}

QString QtPrompts::openFileName(const QString& title, const QString& filter,
                                const QString& folder) {
    return chooseFile(owner(), QFileDialog::AcceptOpen, title, filter, folder, {}, nullptr);
}

std::optional<TextFont> QtPrompts::chooseFont(const TextFont& initial) {
    QWidget* parent = owner();
    FontColorDialog dialog(initial, parent);
    keepAbove(dialog, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textFont();
}

bool installChineseTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
