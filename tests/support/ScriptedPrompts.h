#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "Prompts.h"

// Answers prompts from a queue and records exactly what was shown, for tests.
class ScriptedPrompts final : public Prompts {
public:
    enum class Kind { Message, InputBox, SaveFile, OpenFile, Font, Choice };

    struct Shown {
        Kind kind;
        QString text;   // message text, input prompt or dialog title
        QString title;  // a save dialog's default name, an open dialog's folder
        PromptButtons buttons = PromptButtons::Ok;
        QString defaultText;  // input box default, save dialog filter
    };

    // Answers are used in order; with none queued, a message is answered with its first
    // button for OK-only boxes and otherwise with No/Cancel, an input box and a file dialog
    // are cancelled and a font dialog is cancelled.
    void queueAnswer(PromptAnswer answer) { m_answers.push_back(answer); }
    void queueText(const QString& text) { m_texts.push_back(text); }
    // The choice of the filter that the next save dialog reports (the first one when none).
    void queueFilter(int choice) { m_filters.push_back(choice); }
    void queueFont(const std::optional<TextFont>& font) { m_fonts.push_back(font); }
    // The button the next choice presses (by index); with none queued, nothing is pressed.
    void queueChoice(int choice) { m_choices.push_back(choice); }

    const std::vector<Shown>& shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

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
    QString nextText();

    std::deque<PromptAnswer> m_answers;
    std::deque<QString> m_texts;
    std::deque<int> m_filters;
    std::deque<std::optional<TextFont>> m_fonts;
    std::deque<int> m_choices;
    std::vector<Shown> m_shown;
};
