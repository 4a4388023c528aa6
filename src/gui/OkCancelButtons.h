#pragma once

#include <QString>

class QDialogButtonBox;

// Gives the OK and Cancel buttons of a dialog's button box the captions this dialog has always
// shown (each dialog spaces its two characters its own way) and the names `controlName`0 and
// `controlName`1, by which tests and screen readers find them.
void captionOkCancel(QDialogButtonBox& buttons, const QString& ok, const QString& cancel,
                     const QString& controlName);
