#pragma once

#include <QString>
#include <QStringView>

class Document;
class QSettings;

// The option switches as one text: "1;" for crosswise feeding or "0;", then Chk(0)..Chk(8),
// each followed by ";".
inline constexpr QStringView kDefaultOptionFlags = u"1;0;0;0;0;0;0;0;1;0;";

QString optionFlagsText(const Document& cheque);
// Applies a stored text as far as it can be read: missing trailing parts leave the later
// check boxes as they are, unreadable numbers count as 0.
void applyOptionFlags(Document& cheque, QStringView text);

// Writes the switches under the LastOne key; a failed write is ignored.
void SaveOptionFlags(const Document& cheque, QSettings& settings);
// The switches' text under the LastOne key, the default text when missing.
QString storedOptionFlags(QSettings& settings);
// Reads the switches from the LastOne key (the default text when missing) and applies them.
void LoadOptionFlags(Document& cheque, QSettings& settings);
