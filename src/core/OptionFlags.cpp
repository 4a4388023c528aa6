#include "OptionFlags.h"

#include <cmath>

#include "Document.h"
#include "NumberText.h"
#include "RegText.h"

QString optionFlagsText(const Document& cheque) {
    QString text = cheque.crosswise() ? QStringLiteral("1;") : QStringLiteral("0;");
    for (int i = 0; i < int(cheque.kind().switches.size()); ++i)
        text += QString::number(cheque.chk(i)) + u';';
    return text;
}

void applyOptionFlags(Document& cheque, QStringView text) {
    const QList<QStringView> parts = text.split(u';');
    cheque.setCrosswise(numericValue(parts[0]) == 1.0);
    // A kind's own switches only: a kind with fewer takes the first of the stored values.
    for (int i = 0; i < int(cheque.kind().switches.size()); ++i) {
        if (i + 1 >= parts.size())
            break;
        const double value = std::nearbyint(numericValue(parts[i + 1]));
        // Setting a box runs its click behaviour, so Chk(0) copies itself to Chk(1) and
        // Chk(2) first and their own stored values, read afterwards, win.
        if (value >= 0 && value <= 2)
            cheque.setChk(i, int(value));
    }
}

void SaveOptionFlags(const Document& cheque, QSettings& settings) {
    WriteRegText(settings, cheque.kind().settingsKey, optionFlagsText(cheque));
}

QString storedOptionFlags(QSettings& settings, const DocumentKind& kind) {
    const QString defaults = kind.switches.data() == checkBoxes().data()
                                 ? kDefaultOptionFlags.toString()
                                 : optionFlagsText(Document(kind));
    return ReadRegText(settings, kind.settingsKey, defaults);
}

void LoadOptionFlags(Document& cheque, QSettings& settings) {
    applyOptionFlags(cheque, storedOptionFlags(settings, cheque.kind()));
}
