#include "DocumentKind.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// Faults of one text column of the fields: empty where it must not be, or given twice.
void checkUnique(const DocumentKind& kind, QStringView ChequeFieldInfo::*column,
                 const QString& what, QStringList& faults) {
    QSet<QStringView> seen;
    for (const ChequeFieldInfo& field : kind.fields) {
        const QStringView value = field.*column;
        if (value.isEmpty())
            faults << u"field %1 has no %2"_s.arg(field.index).arg(what);
        else if (seen.contains(value))
            faults << u"%1 \"%2\" given twice"_s.arg(what, value.toString());
        seen.insert(value);
    }
}

bool isField(const DocumentKind& kind, int index) {
    return index >= 0 && size_t(index) < kind.fields.size();
}

}  // namespace

std::span<const DocumentKind* const> documentKinds() {
    static const DocumentKind* const kinds[] = {&transferCheque(), &cashCheque(), &depositSlip()};
    return kinds;
}

const DocumentKind* kindById(QStringView id) {
    for (const DocumentKind* kind : documentKinds())
        if (kind->id == id)
            return kind;
    return nullptr;
}

int fieldWithRole(const DocumentKind& kind, FieldRole role) {
    if (role == FieldRole::None)
        return -1;
    for (const ChequeFieldInfo& field : kind.fields)
        if (field.role == role)
            return field.index;
    return -1;
}

int fieldByIdentifier(const DocumentKind& kind, QStringView identifier) {
    for (const ChequeFieldInfo& field : kind.fields)
        if (field.identifier == identifier)
            return field.index;
    return -1;
}

int switchKeepingOff(const DocumentKind& kind, int field) {
    if (field < 0)
        return -1;
    for (size_t i = 0; i < kind.switches.size(); ++i)
        if (kind.switches[i].suppresses == field)
            return int(i);
    return -1;
}

QStringList kindFaults(const DocumentKind& kind) {
    QStringList faults;
    if (kind.id.isEmpty() || kind.journalJob.isEmpty() || kind.geometry.isEmpty() ||
        kind.shippedFormat.isEmpty() || kind.shippedFormatRows.isEmpty())
        faults << u"the kind lacks its id, journal job, geometry or shipped format"_s;
    if (hasBack(kind) == kind.backJob.isEmpty())
        faults << u"the kind's back and its back's journal job do not go together"_s;
    if (kind.parts.empty())
        faults << u"the kind has no part"_s;
    if (kind.fields.size() > size_t(kMaxKindFields))
        faults << u"the kind has more than %1 fields"_s.arg(kMaxKindFields);
    for (const DocumentPart& part : kind.parts)
        if (part.shownBySwitch < -1 || size_t(part.shownBySwitch + 1) > kind.switches.size())
            faults << u"part %1 is shown by no switch of the kind"_s.arg(part.name.toString());
    QSet<FieldRole> roles;
    for (size_t i = 0; i < kind.fields.size(); ++i) {
        const ChequeFieldInfo& field = kind.fields[i];
        if (field.index != int(i))
            faults << u"field %1 stands in place %2"_s.arg(field.index).arg(i);
        if (field.part < 0 || size_t(field.part) >= kind.parts.size())
            faults << u"field %1 belongs to no part"_s.arg(field.index);
        if (field.copiesTo != -1 && !isField(kind, field.copiesTo))
            faults << u"field %1 copies to no field"_s.arg(field.index);
        if (field.role != FieldRole::None && roles.contains(field.role))
            faults << u"field %1 takes a role another field has"_s.arg(field.index);
        roles.insert(field.role);
    }
    checkUnique(kind, &ChequeFieldInfo::tag, u"tag"_s, faults);
    checkUnique(kind, &ChequeFieldInfo::identifier, u"identifier"_s, faults);
    for (const SwitchInfo& box : kind.switches)
        if (box.suppresses != -1 && !isField(kind, box.suppresses))
            faults << u"switch \"%1\" keeps no field off the paper"_s.arg(box.caption.toString());
    return faults;
}
