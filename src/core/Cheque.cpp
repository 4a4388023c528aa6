#include "Cheque.h"

#include "AmountCapitals.h"
#include "FieldInput.h"

Cheque::Cheque() {
    for (const ChequeFieldInfo& field : chequeFields())
        m_texts.at(size_t(field.index)) = field.designText.toString();
    resetEndorsement();
    m_chk[Switch::PrintStub] = 1;
}

void Cheque::resetEndorsement() {
    for (size_t i = 0; i < m_endorsement.size(); ++i)
        m_endorsement[i] = endorsementParameters()[i].designValue.toString();
}

bool Cheque::setChk(int i, int value) {
    if (value < 0 || value > 2)
        return false;
    int& box = m_chk.at(size_t(i));
    if (box == value)
        return true;
    box = value;
    if (i == Switch::SuppressDate) {
        setChk(suppressingSwitch(Field::Month), value);
        setChk(suppressingSwitch(Field::Day), value);
    }
    return true;
}

QString Cheque::printedText(int field) const {
    if (field != Field::AmountInCapitals)
        return text(field);
    const QString& figures = text(Field::Amount);
    return isFigureForm(figures) ? AmountToCapitals(figures) : QString();
}
