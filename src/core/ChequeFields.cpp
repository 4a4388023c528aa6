#include "ChequeFields.h"

#include <QFile>

#include "DocumentKind.h"

int FieldIndexOf(QStringView identifier) {
    return fieldByIdentifier(transferCheque(), identifier);
}

int fieldIndexByTag(QStringView tag) {
    for (const ChequeFieldInfo& field : chequeFields())
        if (field.tag == tag)
            return field.index;
    return -1;
}

QString issueDateColumn() {
    return chequeFields()[Field::Year].historyColumn.toString();
}

QString stubDateColumn() {
    return chequeFields()[Field::StubYear].historyColumn.toString();
}

QString userGuideText() {
    QFile file(QStringLiteral(":/userguide.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
