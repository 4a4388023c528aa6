#pragma once

#include <array>

#include <QString>

#include "ChequeFields.h"
#include "ChequeSwitches.h"
#include "TextFont.h"

// The one cheque that the main window holds: the nineteen printable fields with their texts,
// fonts and colours, the five endorsement parameters and the option switches. Printing,
// history and formats read and write this value, never a widget.
class Cheque final {
public:
    // The design state: design texts, design endorsement values, crosswise feeding, the stub
    // printed with the body and every other switch off.
    Cheque();

    const QString& text(int field) const { return m_texts.at(size_t(field)); }
    void setText(int field, const QString& text) { m_texts.at(size_t(field)) = text; }

    // What the field prints: the amount in capitals is always that of the amount in figures
    // (nothing while they are no amount in figure form), whatever its own text says, so that
    // capitals typed over or read from a file never print beside other figures; every other
    // field prints its text.
    QString printedText(int field) const;
    // Brings the amount in capitals to what it prints, so that the journal and the history
    // keep what went on the paper.
    void deriveCapitals() {
        setText(Field::AmountInCapitals, printedText(Field::AmountInCapitals));
    }

    const TextFont& font(int field) const { return m_fonts.at(size_t(field)); }
    void setFont(int field, const TextFont& font) { m_fonts.at(size_t(field)) = font; }

    const QString& endorsement(int i) const { return m_endorsement.at(size_t(i)); }
    void setEndorsement(int i, const QString& value) { m_endorsement.at(size_t(i)) = value; }
    void resetEndorsement();

    // OP(0) on: the cheque goes into the printer crosswise; OP(1) is always the opposite.
    bool crosswise() const { return m_crosswise; }
    void setCrosswise(bool on) { m_crosswise = on; }

    // Chk(i): 0 off, 1 on (2, greyed, is a value a check box can hold too).
    int chk(int i) const { return m_chk.at(size_t(i)); }
    // Sets Chk(i) and, when the value changes, runs its click behaviour: Chk(0) copies its
    // value to Chk(1) and Chk(2). A value other than 0, 1 or 2 is refused (returns false).
    bool setChk(int i, int value);

    // The stub image and the FT fields are shown, and printed, exactly when Chk(7) is not 0.
    bool stubVisible() const { return chk(Switch::PrintStub) != 0; }
    // A check box keeps this field off the paper.
    bool suppressed(int field) const {
        const int box = suppressingSwitch(field);
        return box >= 0 && chk(box) != 0;
    }

private:
    std::array<QString, kPrintableFieldCount> m_texts;
    std::array<TextFont, kPrintableFieldCount> m_fonts;
    std::array<QString, kEndorsementParameterCount> m_endorsement;
    std::array<int, kCheckBoxCount> m_chk{};
    bool m_crosswise = true;
};
