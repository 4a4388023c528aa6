#include "Prompts.h"

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
