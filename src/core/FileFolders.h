#pragma once

#include <QString>

#include "Prompts.h"

class QSettings;

// The folder of the file last chosen for the purpose, kept in the user's settings (below
// CHK_F\Folders, beside the option switches); empty when none was kept or it is gone.
QString rememberedFolder(QSettings& settings, FilePurpose purpose);
// Keeps the folder of `chosenFile` for the purpose.
void rememberFolder(QSettings& settings, FilePurpose purpose, const QString& chosenFile);
