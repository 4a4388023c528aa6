#pragma once

class Cheque;
class Prompts;

// Backspace, "%", "'", "-", "." and the digits pass; every other character is discarded.
// ("%" and "'" are also the key-down codes of the left and right arrow keys.)
bool NumericKeyFilter(char16_t c);

// Whether a character typed into body field Txt(index) is kept: the date fields take capital
// digits and 拾 as well as the numeric characters but never "."; the amount in figures takes
// the numeric characters; every other body field takes everything.
bool acceptsBodyCharacter(int index, char16_t c);
// Whether a character typed into stub field FT(index) is kept: the stub date takes the
// numeric characters, the others take everything.
bool acceptsStubCharacter(int index, char16_t c);

// What leaving body field Txt(index) does: a date part is checked against its range,
// written in capitals and copied in digits to the stub (or the error message is shown and
// nothing changes); the amount in figures is brought to its figure form, written in
// capitals and copied to the stub; payee and purpose are copied to the stub.
void leaveBodyField(Cheque& cheque, int index, Prompts& prompts);
