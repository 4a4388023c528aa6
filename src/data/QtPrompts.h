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
    std::optional<TextFont> chooseFont(const TextFont& initial) override;

private:
    QWidget* m_parent;
};
