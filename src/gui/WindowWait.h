#pragma once

#include <QString>

// Dialogs that hand back a value are shown without a modal loop of their own; the caller waits
// here, with the program's windows still answering, until the dialog has closed.

// Whether a visible top-level window of the program has exactly this title.
bool IsFormOpen(const QString& caption);

// Processes window events for as long as a window with this title is open; returns at once
// when there is none.
void WaitWhileFormOpen(const QString& caption);
