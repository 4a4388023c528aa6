#include "Document.h"

#include "AmountCapitals.h"
#include "FieldInput.h"

Document::Document(const DocumentKind& kind)
    : m_kind(&kind),
      m_texts(kind.fields.size()),
      m_fonts(kind.fields.size()),
      m_chk(kind.switches.size(), 0) {
    for (const ChequeFieldInfo& info : kind.fields)
        m_texts.at(size_t(info.index)) = info.designText.toString();
    resetEndorsement();
    for (const DocumentPart& part : kind.parts)
        if (part.shownBySwitch >= 0)
            m_chk.at(size_t(part.shownBySwitch)) = 1;
}

QString Document::textOf(FieldRole role) const {
    const int index = field(role);
    return index >= 0 ? text(index) : QString();
}

void Document::setTextOf(FieldRole role, const QString& text) {
    if (const int index = field(role); index >= 0)
        setText(index, text);
}

void Document::resetEndorsement() {
    for (size_t i = 0; i < m_endorsement.size(); ++i)
        m_endorsement[i] = endorsementParameters()[i].designValue.toString();
}

bool Document::setChk(int i, int value) {
    if (value < 0 || value > 2)
        return false;
    int& box = m_chk.at(size_t(i));
    if (box == value)
        return true;
    box = value;
    if (i == Switch::SuppressDate) {
        for (const FieldRole part : {FieldRole::IssueMonth, FieldRole::IssueDay})
            if (const int other = switchKeepingOff(*m_kind, field(part)); other >= 0)
                setChk(other, value);
    }
    return true;
}

bool Document::stubVisible() const {
    for (const DocumentPart& part : m_kind->parts)
        if (part.name == u"stub")
            return part.shownBySwitch < 0 || chk(part.shownBySwitch) != 0;
    return false;
}

bool Document::suppressed(int index) const {
    const int box = switchKeepingOff(*m_kind, index);
    return box >= 0 && chk(box) != 0;
}

QString Document::printedText(int index) const {
    if (index != field(FieldRole::AmountInCapitals))
        return text(index);
    const QString figures = textOf(FieldRole::Amount);
    return isFigureForm(figures) ? AmountToCapitals(figures) : QString();
}
