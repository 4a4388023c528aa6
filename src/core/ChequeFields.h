#pragma once

#include <array>

#include <QString>
#include <QStringView>

// The nineteen printable fields of a cheque, in position-index order: the body fields Txt(0)
// to Txt(9) are indices 0 to 9, the stub and extra fields FT(0) to FT(8) are indices 10 to 18.
inline constexpr int kBodyFieldCount = 10;
inline constexpr int kStubFieldCount = 9;
inline constexpr int kPrintableFieldCount = kBodyFieldCount + kStubFieldCount;

// Position index of body field Txt(i) and of stub field FT(i).
constexpr int bodyField(int i) {
    return i;
}
constexpr int stubField(int i) {
    return kBodyFieldCount + i;
}

// The position index of each field by its meaning. The numbers are the stored order of the
// fields and must not change.
namespace Field {
inline constexpr int Year = bodyField(0);
inline constexpr int Month = bodyField(1);
inline constexpr int Day = bodyField(2);
inline constexpr int Payee = bodyField(3);
inline constexpr int AmountInCapitals = bodyField(4);
inline constexpr int Amount = bodyField(5);  // in figures
inline constexpr int Purpose = bodyField(6);
inline constexpr int Account = bodyField(7);
inline constexpr int Password = bodyField(8);
inline constexpr int Bank = bodyField(9);
inline constexpr int AdditionalInfo = stubField(0);
inline constexpr int StubYear = stubField(1);
inline constexpr int StubMonth = stubField(2);
inline constexpr int StubDay = stubField(3);
inline constexpr int StubPayee = stubField(4);
inline constexpr int StubAmount = stubField(5);
inline constexpr int StubPurpose = stubField(6);
inline constexpr int Supervisor = stubField(7);
inline constexpr int Accountant = stubField(8);
}  // namespace Field

struct ChequeFieldInfo {
    int index;                  // position index 0..18
    QStringView tag;            // "T0".."T9", "F0".."F8"
    QStringView identifier;     // key of the field's print-format rows, e.g. "票身-年"
    QStringView historyColumn;  // column of the history table; empty when not stored
    QStringView designText;     // what a first start without stored input shows
    QStringView placeholder;    // a grey example in the empty field; never printed or saved
    // Characters the user may type, as characterCount counts them (𠮷 is one); 0: no limit.
    int maxLength;
    QStringView toolTip;
    int tabOrder;  // ascending order of the focus chain
};

// Every other piece of the program looks fields up here.
const std::array<ChequeFieldInfo, kPrintableFieldCount>& chequeFields();

// The position index of the field with this identifier or tag, or -1.
int fieldIndexByIdentifier(QStringView identifier);
int fieldIndexByTag(QStringView tag);

// Txt(10): the read-only user guide on the help tab; not a cheque field.
QString userGuideText();
