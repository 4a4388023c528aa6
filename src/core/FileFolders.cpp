#include "FileFolders.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString folderKey(FilePurpose purpose) {
    switch (purpose) {
        case FilePurpose::PaymentList:
            return QStringLiteral("CHK_F/Folders/PaymentList");
        case FilePurpose::FormatFile:
            return QStringLiteral("CHK_F/Folders/FormatFile");
        case FilePurpose::Background:
            return QStringLiteral("CHK_F/Folders/Background");
        case FilePurpose::Export:
            break;
    }
    return QStringLiteral("CHK_F/Folders/Export");
}

}  // namespace

QString rememberedFolder(QSettings& settings, FilePurpose purpose) {
    const QString folder = settings.value(folderKey(purpose)).toString();
    // A folder removed or unplugged since: the dialog opens where it would without one.
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolder(QSettings& settings, FilePurpose purpose, const QString& chosenFile) {
    settings.setValue(folderKey(purpose), QFileInfo(chosenFile).absolutePath());
    settings.sync();
}
