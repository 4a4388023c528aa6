#pragma once

#include <optional>

#include <QString>
#include <QStringView>

class Document;
struct DocumentKind;
class Prompts;
class QDate;

// The messages of a wrong date, of an amount the cheque cannot carry (with the reason) and of
// a character the history cannot keep; shown with the title "错误提示".
QString dateErrorText();
QString amountErrorText(const QString& reason);
QString unstorableCharacterText(const DocumentKind& kind, int field, char32_t c);
void showDateError(Prompts& prompts);
void showAmountError(Prompts& prompts, const QString& reason);

// The figure form of an amount as typed (see plainAmount), ￥0.00 for an empty field; nothing,
// with the reason, when it is not exactly an amount a cheque carries: a third decimal, a
// second point, a letter or a ninth integer digit is refused, never cut or dropped.
std::optional<QString> figuresOfTypedAmount(QStringView text, QString* reason = nullptr);

// Whether a text is an amount in figure form: "￥", one to eight digits, ".", two digits.
bool isFigureForm(QStringView text);

// Backspace, "%", "'", "-", "." and the digits pass; every other character is discarded.
// ("%" and "'" are also the key-down codes of the left and right arrow keys.)
bool NumericKeyFilter(char16_t c);

// Whether a character typed into field `field` is kept: a date part of the body takes capital
// digits and 拾 as well as the numeric characters but never "."; the stub's date takes the
// numeric characters; every other field takes everything. The amount in figures takes every
// character too: dropping a 万 or a second point would silently print another amount, so
// what is typed stays in view and leaving the field refuses what is no amount.
bool acceptsCharacter(const DocumentKind& kind, int field, char16_t c);

// What leaving body field Txt(index) does: a date part is checked against its range,
// written in capitals and copied in digits to the stub (or the date message is shown and
// nothing changes); the amount in figures is brought to its figure form, written in
// capitals and copied to the stub (or the amount message is shown and nothing changes);
// another field with a stub field (payee, purpose) is copied to it.
void leaveBodyField(Document& cheque, int index, Prompts& prompts);

// Writes the date into the three date fields as if typed in digits, each then left: the body
// shows it in capitals, the stub in digits.
void enterDate(Document& cheque, const QDate& date, Prompts& prompts);
