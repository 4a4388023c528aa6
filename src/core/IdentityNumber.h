#pragma once

#include <QString>
#include <QStringView>

class Document;

// Whether `number` has the form of a resident identity card number (GB 11643): seventeen digits
// and a check character, a digit or X (x taken as X), that the weighted sum of the seventeen
// gives.
bool identityNumberChecks(QStringView number);

// Why the document's identity number deserves a second look, for a warning that never stops a
// print: its document is an identity card (身份证件名称 names 身份证, or is empty) and its
// number is given and fails the check. Empty when there is nothing to say.
QString identityNumberDoubt(const Document& document);
