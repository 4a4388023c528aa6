#include "ScriptedPrompts.h"

PromptAnswer ScriptedPrompts::message(const QString& text, const QString& title,
                                      PromptButtons buttons) {
    m_shown.push_back(
        {Kind::Message, text, title.isEmpty() ? applicationTitle() : title, buttons, {}});
    if (!m_answers.empty()) {
        const PromptAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return unattendedAnswer(buttons);
}

QString ScriptedPrompts::inputBox(const QString& prompt, const QString& title,
                                  const QString& defaultText) {
    m_shown.push_back({Kind::InputBox, prompt, title.isEmpty() ? applicationTitle() : title,
                       PromptButtons::OkCancel, defaultText});
    return nextText();
}

QString ScriptedPrompts::saveFileName(const QString& title, const QString& filter,
                                      const QString& defaultName, int* chosenFilter) {
    m_shown.push_back({Kind::SaveFile, title, defaultName, PromptButtons::OkCancel, filter});
    int choice = 0;
    if (!m_filters.empty()) {
        choice = m_filters.front();
        m_filters.pop_front();
    }
    if (chosenFilter)
        *chosenFilter = choice;
    return nextText();
}

QString ScriptedPrompts::openFileName(const QString& title, const QString& filter,
                                      const QString& folder) {
    m_shown.push_back({Kind::OpenFile, title, folder, PromptButtons::OkCancel, filter});
    return nextText();
}

std::optional<TextFont> ScriptedPrompts::chooseFont(const TextFont& initial) {
    m_shown.push_back({Kind::Font, initial.name, {}, PromptButtons::OkCancel, {}});
    if (m_fonts.empty())
        return std::nullopt;
    const std::optional<TextFont> font = m_fonts.front();
    m_fonts.pop_front();
    return font;
}

QString ScriptedPrompts::nextText() {
    if (m_texts.empty())
        return {};
    const QString text = m_texts.front();
    m_texts.pop_front();
    return text;
}

std::optional<int> ScriptedPrompts::choose(const QString& text, const QString& title,
                                           const QStringList& choices) {
    m_shown.push_back({Kind::Choice, text, title, PromptButtons::Ok, choices.join(u'|')});
    if (m_choices.empty())
        return std::nullopt;
    const int choice = m_choices.front();
    m_choices.pop_front();
    return choice;
}
