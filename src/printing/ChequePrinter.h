#pragma once

#include <span>

#include <QString>

#include "DocumentKind.h"

class Document;
class Prompts;
class PrintSurface;
struct PrintFormat;

// The amount in figures as it goes into its `boxes` boxes: without its point, blanks in front
// up to the last box. More characters than boxes do not fit.
QString boxedAmount(const QString& figures, qsizetype boxes);

// Draws `text` from (x, y) one character at a time, a character being what a reader sees as
// one (textCharacters: a surrogate pair or a letter with its marks is never split). Boxed (the
// amount in figures only): the k-th character stands at x + k*S + (column k - column 0),
// whatever the font's widths, and those past the last column at S from the one before. Otherwise
// each character advances by its own width plus S. A "￥" is drawn a quarter of its width further
// left.
void PrintSpaced(PrintSurface& surface, double x, double y, const QString& text, double spacing,
                 std::span<const double> columns, bool boxed);

// Takes one line off the front of `remaining`: whole characters while the line is at most
// `width` mm wide, giving the last one back when the line grew wider (unless it is the only
// one).
QString takeLine(PrintSurface& surface, QString& remaining, double width);

// Draws the cheque's fields of one side of the paper in the format on the page in hand, which
// is already set up for it; false on any failure, without a message.
bool drawChequePage(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                    PartSide side = PartSide::Front);

// Sets up the page, draws the cheque's side in the format and ends the document; false on any
// failure, without a message. PrintCheque and the overflow check both draw through here.
bool drawChequeFields(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                      PartSide side = PartSide::Front);

// Prints the cheque in the format: page set-up, positions, the stub fields when the stub is
// printed (the additional information wrapped into 40 mm lines 5 mm apart), the body fields
// but the suppressed ones, the amount in figures right-aligned in its boxes, and the
// end of the document. Any failure shows "打印错误，请检查打印机！", abandons the document
// and returns false.
bool PrintCheque(PrintSurface& surface, const Document& cheque, const PrintFormat& format,
                 Prompts& prompts);
