#pragma once

#include <algorithm>
#include <span>

#include <QStringList>
#include <QStringView>

#include "ChequeFields.h"
#include "ChequeSwitches.h"

// A kind of bank document the program prints (the transfer cheque, the cash cheque, the deposit
// slip) is data: its fields, parts, switches, picture and shipped format.
// The rules shared by every kind ask for a field by its role, never by a kind's own number.

// The names the cheques give their parts, for the code that lays the stub beside the body.
inline constexpr QStringView kBodyPart = u"body";
inline constexpr QStringView kStubPart = u"stub";

// Which side of the paper a part is printed on.
enum class PartSide : quint8 { Front, Back };

// A part of the document, such as the cheque's body and its stub.
struct DocumentPart {
    QStringView name;  // as the geometry names it ("body", "stub")
    PartSide side;
    int shownBySwitch;  // the switch that shows and prints it, or -1 when it always does
};

struct DocumentKind {
    QStringView id;          // stored in the database's 种类 columns
    QStringView journalJob;  // the journal's 种类 of its prints
    QStringView backJob;     // the journal's 种类 of its back's prints; empty without a back
    std::span<const DocumentPart> parts;
    std::span<const ChequeFieldInfo> fields;  // in position-index order
    std::span<const SwitchInfo> switches;
    QStringView geometry;           // the resource of its picture's geometry
    QStringView shippedFormat;      // the format a new database is given
    QStringView shippedFormatRows;  // the resource of its rows, as SQL that inserts them
    QStringView settingsKey;        // where its option switches are kept
    bool numbered;                  // printed on the numbers of cheque books
    bool endorsable;                // has an endorsement printed on its back
    // The columns of another kind's kept row that it can be filled from (a deposit slip from a
    // kept cheque); none when it is filled only from its own rows.
    std::span<const QStringView> filledFrom;
};

// The transfer cheque (转账支票).
const DocumentKind& transferCheque();
// The bank deposit slip (进账单).
const DocumentKind& depositSlip();
// The cash cheque (现金支票): the transfer cheque's front, and a back printed on its own.
const DocumentKind& cashCheque();

// Every kind the program knows, the transfer cheque first.
std::span<const DocumentKind* const> documentKinds();

// The kind stored as `id`, or null.
const DocumentKind* kindById(QStringView id);

// The position index of the kind's field with this role, or -1 when it has none.
int fieldWithRole(const DocumentKind& kind, FieldRole role);

// The position index of the kind's field with this identifier, or -1.
int fieldByIdentifier(const DocumentKind& kind, QStringView identifier);

// The name of the part the kind's field is printed on.
inline QStringView partOf(const DocumentKind& kind, int field) {
    return kind.parts[size_t(kind.fields[size_t(field)].part)].name;
}

// The side of the paper the kind's field is printed on.
inline PartSide sideOf(const DocumentKind& kind, int field) {
    return kind.parts[size_t(kind.fields[size_t(field)].part)].side;
}

// Whether the kind has fields printed on the back of the paper, as a job of their own.
inline bool hasBack(const DocumentKind& kind) {
    return std::ranges::any_of(kind.parts,
                               [](const DocumentPart& p) { return p.side == PartSide::Back; });
}

// Whether the kind has a part of this name (a cheque's stub, whose width a format sets).
inline bool hasPart(const DocumentKind& kind, QStringView name) {
    return std::ranges::any_of(kind.parts,
                               [name](const DocumentPart& p) { return p.name == name; });
}

// The kind's switch that keeps the field off the paper, or -1.
int switchKeepingOff(const DocumentKind& kind, int field);

// What is wrong with a kind's own tables, one text a fault: fields out of position order, a
// tag or identifier given twice, a role taken by two fields, a field of no part, a copy or a
// switch naming no field, a part shown by no switch, an empty id, job, geometry or format.
// Empty for a sound kind. Whether its geometry has a place for every field is the picture's
// to check.
QStringList kindFaults(const DocumentKind& kind);
