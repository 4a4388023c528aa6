#pragma once

#include <cstdio>

#include "Prompts.h"

// Prompts for the command line: messages go to standard error, questions are answered No,
// input boxes and dialogs are cancelled; nobody is there to answer.
class ConsolePrompts final : public Prompts {
public:
    explicit ConsolePrompts(std::FILE* err) : m_err(err) {}

    PromptAnswer message(const QString& text, const QString& title, PromptButtons buttons) override;
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&, int*) override {
        return {};
    }
    std::optional<TextFont> chooseFont(const TextFont&) override { return std::nullopt; }

    // Whether a message was shown since the last call.
    bool takeShown() { return std::exchange(m_shown, false); }

private:
    std::FILE* m_err;
    bool m_shown = false;
};
