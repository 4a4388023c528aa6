#include "ConsolePrompts.h"

PromptAnswer ConsolePrompts::message(const QString& text, const QString&, PromptButtons buttons) {
    const QByteArray line = "chequeprint: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), m_err);
    m_shown = true;
    return unattendedAnswer(buttons);
}
