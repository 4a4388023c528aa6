#pragma once

#include <optional>

#include <QString>
#include <QStringView>

class Cheque;
class Prompts;
class QDate;

// The messages of a wrong date and of an amount the cheque cannot carry (title "错误提示").
void showDateError(Prompts& prompts);
void showAmountError(Prompts& prompts);

// The figure form of an amount as typed, or nothing when a cheque cannot carry it: more than
// eight integer digits, a minus sign or an exponent. Full-width digits and point read as
// ASCII ones; blanks, commas and a leading ￥ are dropped and more than two decimals are cut,
// as FormatFigures does.
std::optional<QString> figuresOfTypedAmount(QStringView text);

// Whether a text is an amount in figure form: "￥", one to eight digits, ".", two digits.
bool isFigureForm(QStringView text);

// Backspace, "%", "'", "-", "." and the digits pass; every other character is discarded.
// ("%" and "'" are also the key-down codes of the left and right arrow keys.)
bool NumericKeyFilter(char16_t c);

// Whether a character typed into field `field` is kept: a date part of the body takes capital
// digits and 拾 as well as the numeric characters but never "."; the amount in figures and the
// stub's date take the numeric characters; every other field takes everything.
bool acceptsCharacter(int field, char16_t c);

// What leaving body field Txt(index) does: a date part is checked against its range,
// written in capitals and copied in digits to the stub (or the date message is shown and
// nothing changes); the amount in figures is brought to its figure form, written in
// capitals and copied to the stub (or the amount message is shown and nothing changes);
// another field with a stub field (payee, purpose) is copied to it.
void leaveBodyField(Cheque& cheque, int index, Prompts& prompts);

// Writes the date into the three date fields as if typed in digits, each then left: the body
// shows it in capitals, the stub in digits.
void enterDate(Cheque& cheque, const QDate& date, Prompts& prompts);
