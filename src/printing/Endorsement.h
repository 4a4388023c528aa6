#pragma once

#include <QString>

class Document;
class PrintSurface;

// Where and how an endorsement is printed, in mm and points.
struct EndorsementLayout {
    double x;  // first line, from the paper's left edge once the margin is applied
    double y;
    double width;  // lines wrap at this width
    double gap;    // extra space between lines
    double fontSize;
};

// The layout from the endorsement parameters and the format's page margins (H, V):
// x = B_T(0) - (H - 10), y = B_T(1) - (V - 10).
EndorsementLayout endorsementLayout(const Document& cheque, double marginX, double marginY);

// Whether the text leaves a page blank: it is empty, or holds nothing but the "//" that starts a
// line and blanks.
bool endorsementIsBlank(const QString& text);

// Prints the endorsement text (the print job asked for it): parts split at "//", each wrapped
// to the width, lines one Chinese character's height plus the gap apart; empty parts add
// nothing. A step that fails is skipped. A text that leaves the page blank prints nothing and
// sends no page. Returns whether a page was sent.
bool PrintEndorsement(PrintSurface& surface, const QString& text, const EndorsementLayout& layout);
