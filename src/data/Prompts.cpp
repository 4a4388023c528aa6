#include "Prompts.h"

QString applicationTitle() {
    return QStringLiteral("Zentavo支票打印软件");
}
