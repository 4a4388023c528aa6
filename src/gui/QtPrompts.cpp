#include "QtPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "FontColorDialog.h"

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

}  // namespace

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
    QMessageBox box(icon, titleOrDefault(title), text, standard, m_parent);
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

QString QtPrompts::inputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, titleOrDefault(title), prompt,
                                                 QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

QString QtPrompts::saveFileName(const QString& title, const QString& filter,
                                const QString& defaultName) {
    return QFileDialog::getSaveFileName(m_parent, title, defaultName, dialogFilter(filter));
}

QString QtPrompts::openFileName(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, title, {}, dialogFilter(filter));
}

std::optional<TextFont> QtPrompts::chooseFont(const TextFont& initial) {
    return FontColorDialog::getFont(initial, m_parent);
}

bool installChineseTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
