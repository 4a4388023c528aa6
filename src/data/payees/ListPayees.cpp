#include "ListPayees.h"

#include <algorithm>

#include <QSet>

#include "Document.h"
#include "PaymentList.h"

std::optional<QHash<QString, Payee>> listedPayees(Database& db, const PaymentList& list,
                                                  const DocumentKind& kind) {
    const qsizetype payee = list.columns.indexOf(fieldWithRole(kind, FieldRole::Payee));
    QList<qsizetype> filled;  // the columns of the account and the bank the book may fill
    for (const FieldRole role : {FieldRole::PayeeAccount, FieldRole::PayeeBank})
        if (const int field = fieldWithRole(kind, role); field >= 0)
            filled << list.columns.indexOf(field);
    QHash<QString, Payee> found;
    if (payee < 0 || filled.isEmpty())
        return found;
    // Each name is looked up once, however many rows pay it.
    QSet<QString> asked;
    for (const PaymentList::Row& row : list.rows) {
        const QString name = row.cells[payee].trimmed();
        const bool leavesOne = std::any_of(filled.begin(), filled.end(), [&](qsizetype c) {
            return c < 0 || row.cells[c].trimmed().isEmpty();
        });
        if (name.isEmpty() || !leavesOne || asked.contains(name))
            continue;
        asked.insert(name);
        std::optional<Payee> entry;
        if (!findPayee(db, name, &entry))
            return std::nullopt;
        if (entry)
            found.insert(name, *entry);
    }
    return found;
}

bool fillPayeeFromBook(Database& db, Document& document) {
    const int account = document.field(FieldRole::PayeeAccount);
    const int bank = document.field(FieldRole::PayeeBank);
    const QString name = document.textOf(FieldRole::Payee).trimmed();
    const auto empty = [&](int field) {
        return field >= 0 && document.text(field).trimmed().isEmpty();
    };
    if (name.isEmpty() || (!empty(account) && !empty(bank)))
        return false;
    std::optional<Payee> entry;
    if (!findPayee(db, name, &entry) || !entry)
        return false;
    bool changed = false;
    for (const auto& [field, value] : {std::pair{account, entry->account}, {bank, entry->bank}})
        if (empty(field) && !value.trimmed().isEmpty()) {
            document.setText(field, value);
            changed = true;
        }
    return changed;
}
