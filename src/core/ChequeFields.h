#pragma once

#include <array>

#include <QString>
#include <QStringView>

// The nineteen printable fields of a cheque, in position-index order: the body fields Txt(0)
// to Txt(9) are indices 0 to 9, the stub and extra fields FT(0) to FT(8) are indices 10 to 18.
inline constexpr int kBodyFieldCount = 10;
inline constexpr int kStubFieldCount = 9;
inline constexpr int kPrintableFieldCount = kBodyFieldCount + kStubFieldCount;

// The most fields a kind of document may have: the size of the tables that hold one value for
// each field of any kind (a format's positions, a page's printer positions).
inline constexpr int kMaxKindFields = 32;

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

// What a field takes from the keyboard, and what leaving it does (body fields only).
enum class FieldInput : quint8 {
    Text,         // anything; leaving copies it to its stub field, if it has one
    Date,         // digits or capital digits; leaving checks the part, writes it in capitals and
                  // copies it in digits to the stub
    DateFigures,  // as Date, but leaving writes the part in figures (the deposit slip's date)
    Figures,      // anything; leaving brings the amount to its figure form (or refuses it), writes
                  // it in capitals and copies it to the stub
    Derived,      // read-only: the program derives it (the amount in capitals); shown grey
    Digits,       // the numeric characters (the stub's date)
};

// What a double click on a body field opens.
enum class FieldPick : quint8 {
    None,
    Calendar,  // the date picker
    History,   // the values of the field's history column
};

// How a field's text goes on the paper and on the screen.
enum class FieldDrawing : quint8 {
    Line,   // one line from the field's position
    Lines,  // lines of the place's width, blanks dropped (a box on the picture, a wrapping edit)
    Boxes,  // one character to a figure box, the last in the last box (right-aligned edit)
};

// What a field means to the rules every kind of document shares (the checks, the input
// filters, the payment lists, the print job, the journal, the overflow guard): they find a
// field by its role. A field that only one kind has takes none.
enum class FieldRole : quint8 {
    None,
    IssueYear,
    IssueMonth,
    IssueDay,
    Payee,
    AmountInCapitals,
    Amount,  // in figures
    Purpose,
    DrawerAccount,
    Password,
    DrawerBank,
    StubYear,
    StubMonth,
    StubDay,
    StubPayee,
    StubAmount,
    StubPurpose,
    // The payee's account and bank, on a document that names them (the deposit slip): a
    // payment list may leave them to the book of counterparties.
    PayeeAccount,
    PayeeBank,
};

struct ChequeFieldInfo {
    int index;               // position index 0..18
    QStringView tag;         // "T0".."T9", "F0".."F8"
    QStringView identifier;  // key of the field's print-format rows, e.g. "票身-年"
    // A text a field goes without is an empty one, not a null one, which a database statement
    // would bind as NULL.
    QStringView historyColumn = u"";  // column of the history table; empty when not stored
    // The history grid's heading of that column, on the first field of the column; empty on
    // the others.
    QStringView historyHeading = u"";
    QStringView designText = u"";   // what a first start without stored input shows
    QStringView placeholder = u"";  // a grey example in the empty field; never printed or saved
    // Characters the user may type, as characterCount counts them (𠮷 is one); 0: no limit.
    int maxLength = 0;
    QStringView toolTip;
    int tabOrder;  // ascending order of the focus chain
    FieldInput input;
    int copiesTo = -1;  // the stub field that leaving this body field fills, or -1
    FieldPick pick;
    FieldDrawing drawing;
    // Other headings of a payment list's column for this field (the identifier is always one).
    std::array<QStringView, 2> paymentHeadings = {};
    // The field belongs to one payment: a payment-list row starts it empty instead of taking
    // the base cheque's text.
    bool perPayment = false;
    // The document does not print while the field is empty (the slip's parties and amount:
    // a bank refuses a slip without them).
    bool required = false;
    int part = 0;  // the kind's part it is printed on
    FieldRole role = FieldRole::None;
};

// Every other piece of the program looks fields up here.
const std::array<ChequeFieldInfo, kPrintableFieldCount>& chequeFields();

// The position index of the field with this identifier or tag, or -1.
int FieldIndexOf(QStringView identifier);
int fieldIndexByTag(QStringView tag);

// The history columns that hold the issue date and the stub's date (ISO dates).
QString issueDateColumn();
QString stubDateColumn();

// Txt(10): the read-only user guide on the help tab; not a cheque field.
QString userGuideText();
