#pragma once

#include <array>
#include <vector>

#include <QString>

#include "ChequeFields.h"
#include "ChequeSwitches.h"
#include "DocumentKind.h"
#include "TextFont.h"

// A document of one kind, such as the cheque the main window holds: the kind's printable fields
// with their texts, fonts and colours, the five endorsement parameters and the kind's option
// switches. Printing, history and formats read and write this value, never a widget.
class Document final {
public:
    // The design state of a document of the kind: design texts, design endorsement values,
    // crosswise feeding, every part shown and every other switch off.
    explicit Document(const DocumentKind& kind = transferCheque());

    const DocumentKind& kind() const { return *m_kind; }
    // The position index of the kind's field with this role, or -1 when it has none.
    int field(FieldRole role) const { return fieldWithRole(*m_kind, role); }
    // The text of the field with this role; empty when the kind has none.
    QString textOf(FieldRole role) const;
    // Sets the text of the field with this role; nothing when the kind has none.
    void setTextOf(FieldRole role, const QString& text);

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
        const int capitals = field(FieldRole::AmountInCapitals);
        if (capitals >= 0)
            setText(capitals, printedText(capitals));
    }

    const TextFont& font(int field) const { return m_fonts.at(size_t(field)); }
    void setFont(int field, const TextFont& font) { m_fonts.at(size_t(field)) = font; }

    const QString& endorsement(int i) const { return m_endorsement.at(size_t(i)); }
    void setEndorsement(int i, const QString& value) { m_endorsement.at(size_t(i)) = value; }
    void resetEndorsement();

    // OP(0) on: the cheque goes into the printer crosswise; OP(1) is always the opposite.
    bool crosswise() const { return m_crosswise; }

    // The history row of the kept cheque this document was filled from (a deposit slip goes
    // to the bank with its cheque), kept with it as its 来源ID; 0 for none.
    qint64 sourceId() const { return m_sourceId; }
    void setSourceId(qint64 id) { m_sourceId = id; }
    void setCrosswise(bool on) { m_crosswise = on; }

    // Chk(i): 0 off, 1 on (2, greyed, is a value a check box can hold too).
    int chk(int i) const { return m_chk.at(size_t(i)); }
    // Sets Chk(i) and, when the value changes, runs its click behaviour: Chk(0) copies its
    // value to Chk(1) and Chk(2). A value other than 0, 1 or 2 is refused (returns false).
    bool setChk(int i, int value);

    // The stub image and its fields are shown, and printed, exactly when the switch that shows
    // the stub (the transfer cheque's Chk(7)) is on; never for a kind without a stub.
    bool stubVisible() const;
    // A check box keeps this field off the paper.
    bool suppressed(int field) const;

private:
    const DocumentKind* m_kind;
    std::vector<QString> m_texts;  // one per field of the kind
    std::vector<TextFont> m_fonts;
    std::array<QString, kEndorsementParameterCount> m_endorsement;
    std::vector<int> m_chk;  // one per switch of the kind
    bool m_crosswise = true;
    qint64 m_sourceId = 0;
};
