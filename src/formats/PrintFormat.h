#pragma once

#include <array>

#include <QString>

#include "ChequeFields.h"
#include "ChequeSwitches.h"

struct PageSettings {
    double x = 0;  // horizontal page margin, mm
    double y = 0;  // vertical page margin, mm
    double s = 0;  // stub width, mm
};

// The position of one field, in mm: X of its first character, Y of its top, and the extra
// advance S after every character.
struct FieldPosition {
    double x = 0;
    double y = 0;
    double s = 0;
};

// A print format as stored, read once (loadPrintFormat) and kept while it stays the current
// one: everything drawing a cheque takes from the format besides the fonts, which the cheque
// carries. Drawing reads this value and never the database.
struct PrintFormat {
    QString name;
    // The margins H, V and the stub width; 0, 0, 0 without a page-settings row.
    PageSettings page;
    // Each field's X, Y and S as stored, from the top-left corner of its part of the document,
    // by the kind's position index; 0, 0, 0 for a field without a row.
    std::array<FieldPosition, kMaxKindFields> fields{};
    // The endorsement parameters stored with the page settings, or their design values when
    // the stored text has fewer than five blank-separated parts.
    std::array<QString, kEndorsementParameterCount> endorsement;
};
