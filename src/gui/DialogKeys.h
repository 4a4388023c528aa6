#pragma once

#include <QKeyEvent>
#include <QWidget>

// The keys of the program's small choice windows, which are windows of their own rather than
// QDialogs, so that nothing answers Enter and Esc for them.

// Whether an event is a key that types a character: a list that must not be edited discards it,
// while its navigation keys, Tab, Enter and Esc still work.
inline bool typesCharacter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    const QString text = static_cast<const QKeyEvent*>(event)->text();
    return !text.isEmpty() && text.front().isPrint();
}

// Answers a key press that no control took: Enter is OK (`accept`), or Cancel when `cancel` has
// the focus; Esc is Cancel (`reject`). False for any other key, which the window passes on.
template <typename Accept, typename Reject>
bool answerDialogKey(const QKeyEvent* event, const QWidget* cancel, Accept accept, Reject reject) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            cancel->hasFocus() ? reject() : accept();
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        default:
            return false;
    }
}
