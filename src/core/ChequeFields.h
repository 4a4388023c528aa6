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

struct ChequeFieldInfo {
    int index;                  // position index 0..18
    QStringView tag;            // "T0".."T9", "F0".."F8"
    QStringView identifier;     // key of the field's print-format rows, e.g. "票身-年"
    QStringView historyColumn;  // column of the history table; empty when not stored
    QStringView designText;     // what a first start without stored input shows
    int maxLength;              // characters the user may type; 0 = no limit
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
