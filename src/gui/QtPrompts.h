#pragma once

#include "Prompts.h"

class QWidget;

// Real dialogs, owned by the given parent window.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    PromptAnswer message(const QString& text, const QString& title, PromptButtons buttons) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& defaultName) override;
    QString openFileName(const QString& title, const QString& filter) override;
    std::optional<TextFont> chooseFont(const TextFont& initial) override;

private:
    QWidget* m_parent;
};

// Chinese texts on Qt's own buttons and dialogs (是/否, 确定/取消), from qt6-translations-l10n.
// False when the translation is not installed.
bool installChineseTranslations();
