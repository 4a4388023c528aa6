#pragma once

#include "Prompts.h"

class QWidget;

// Real dialogs. Each belongs to the window the user is working in and shows above it: the
// program's active window unless a modal dialog blocks it, else that modal dialog, else the
// given parent window. Above a window that stays on top (the printer choice) it stays on top
// too. The file dialogs never open the files they list.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}

    PromptAnswer message(const QString& text, const QString& title, PromptButtons buttons) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& defaultName,
                         int* chosenFilter) override;
    QString openFileName(const QString& title, const QString& filter,
                         const QString& folder) override;
    std::optional<TextFont> chooseFont(const TextFont& initial) override;
    std::optional<int> choose(const QString& text, const QString& title,
                              const QStringList& choices) override;

private:
    // The window the next dialog belongs to; null when there is none.
    QWidget* owner() const;

    QWidget* m_parent;
};

// Chinese texts on Qt's own buttons and dialogs (是/否, 确定/取消), from qt6-translations-l10n.
// False when the translation is not installed.
bool installChineseTranslations();
