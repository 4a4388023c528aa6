#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "TextFont.h"

class QSettings;

// YesNoDefaultNo: Yes and No with No as the default, for questions where Yes risks a cheque.
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoDefaultNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };
// What a file dialog asks for: each kind of file opens in the folder last chosen for it.
enum class FilePurpose { Export, PaymentList, FormatFile, Background };

// Every message box, question, input box, file and font dialog goes through this interface,
// so that the logic can run without a window and tests can answer for the user.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A message box; an empty title shows the application title.
    virtual PromptAnswer message(const QString& text, const QString& title = {},
                                 PromptButtons buttons = PromptButtons::Ok) = 0;
    // An input box; the typed text, or an empty text when cancelled. An empty title shows the
    // application title.
    virtual QString inputBox(const QString& prompt, const QString& title = {},
                             const QString& defaultText = {}) = 0;
    // A save-file dialog; the chosen path, or an empty text when cancelled. The filter is
    // "description|pattern|description|pattern...", the choice whose pattern the default
    // name matches preselected, else the first; the choice the user left selected goes to
    // `chosenFilter` (0 for the first) when it is given. The dialog opens in the default
    // name's folder when it has one.
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& defaultName = {}, int* chosenFilter = nullptr) = 0;
    // An open-file dialog with a filter as above, opening in `folder` when it is given; the
    // chosen path, or an empty text when cancelled (and where no one can answer).
    virtual QString openFileName(const QString& /*title*/, const QString& /*filter*/,
                                 const QString& /*folder*/) {
        return {};
    }

    // The same dialogs for a purpose: they open in the folder last chosen for it (the save
    // dialog proposing `name` there), and the folder of the file chosen is kept for the next
    // time, in the settings given to rememberFoldersIn (without them nothing is kept).
    QString saveFile(FilePurpose purpose, const QString& title, const QString& filter,
                     const QString& name, int* chosenFilter = nullptr);
    QString openFile(FilePurpose purpose, const QString& title, const QString& filter);
    void rememberFoldersIn(QSettings* settings) { m_folders = settings; }
    // A font dialog (name, size, style and colour); nothing when cancelled.
    virtual std::optional<TextFont> chooseFont(const TextFont& initial) = 0;
    // A message box whose buttons are `choices`, none of them a way out: the index of the one
    // pressed; nothing where no one can answer.
    virtual std::optional<int> choose(const QString& /*text*/, const QString& /*title*/,
                                      const QStringList& /*choices*/) {
        return std::nullopt;
    }

private:
    QSettings* m_folders = nullptr;
};

// The title of a message box that has none of its own.
QString applicationTitle();

// The answer when nobody is there to answer: OK for an OK-only box, otherwise the
// non-destructive choice (No, or Cancel).
PromptAnswer unattendedAnswer(PromptButtons buttons);
