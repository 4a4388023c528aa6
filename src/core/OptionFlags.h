#pragma once

#include <QString>
#include <QStringView>

#include "DocumentKind.h"

class Document;
class QSettings;

// The option switches as one text: "1;" for crosswise feeding or "0;", then Chk(0)..Chk(8),
// each followed by ";".
inline constexpr QStringView kDefaultOptionFlags = u"1;0;0;0;0;0;0;0;1;0;";

QString optionFlagsText(const Document& cheque);
// Applies a stored text as far as it can be read: missing trailing parts leave the later
// check boxes as they are, unreadable numbers count as 0.
void applyOptionFlags(Document& cheque, QStringView text);

// Writes the switches under the kind's key (the transfer cheque's is LastOne); a failed write
// is ignored. Each kind keeps its own, so that a slip never writes over a cheque's switches.
void SaveOptionFlags(const Document& cheque, QSettings& settings);
// The switches' text under the kind's key; when missing, the default text (for another kind
// than the transfer cheque, its design state's).
QString storedOptionFlags(QSettings& settings, const DocumentKind& kind = transferCheque());
// Reads the switches from the LastOne key (the default text when missing) and applies them.
void LoadOptionFlags(Document& cheque, QSettings& settings);
