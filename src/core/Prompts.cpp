#include "Prompts.h"

#include <QDir>

#include "FileFolders.h"

QString applicationTitle() {
    return QStringLiteral("Zentavo支票打印软件");
}

PromptAnswer unattendedAnswer(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::Ok:
            return PromptAnswer::Ok;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoDefaultNo:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

QString Prompts::saveFile(FilePurpose purpose, const QString& title, const QString& filter,
                          const QString& name, int* chosenFilter) {
    const QString folder = m_folders ? rememberedFolder(*m_folders, purpose) : QString();
    const QString chosen = saveFileName(
        title, filter, folder.isEmpty() ? name : QDir(folder).filePath(name), chosenFilter);
    if (m_folders && !chosen.isEmpty())
        rememberFolder(*m_folders, purpose, chosen);
    return chosen;
}

QString Prompts::openFile(FilePurpose purpose, const QString& title, const QString& filter) {
    const QString folder = m_folders ? rememberedFolder(*m_folders, purpose) : QString();
    const QString chosen = openFileName(title, filter, folder);
    if (m_folders && !chosen.isEmpty())
        rememberFolder(*m_folders, purpose, chosen);
    return chosen;
}
