#include <functional>
#include <vector>

#include <QTest>

#include "DocumentKind.h"

using namespace Qt::StringLiterals;

namespace {

// A kind whose tables are copies of a real kind's, for a test to break one rule in.
struct KindCopy {
    explicit KindCopy(const DocumentKind& shipped)
        : kind(shipped),
          parts(shipped.parts.begin(), shipped.parts.end()),
          fields(shipped.fields.begin(), shipped.fields.end()),
          switches(shipped.switches.begin(), shipped.switches.end()) {}

    const DocumentKind& tied() {
        kind.parts = parts;
        kind.fields = fields;
        kind.switches = switches;
        return kind;
    }

    DocumentKind kind;
    std::vector<DocumentPart> parts;
    std::vector<ChequeFieldInfo> fields;
    std::vector<SwitchInfo> switches;
};

// Breaks one rule in the copy and gives the fault that the check must report; nothing when it
// breaks none.
using Breaking = std::function<QString(KindCopy&)>;

}  // namespace

class TestDocumentKind : public QObject {
    Q_OBJECT

private slots:
    // Every kind the program ships keeps its own rules, and each rule catches the kind that
    // breaks it (on a copy of each shipped kind).
    void kindsAreConsistent_data() {
        QTest::addColumn<Breaking>("breaking");
        QTest::newRow("as shipped") << Breaking([](KindCopy&) { return QString(); });
        QTest::newRow("a field out of position order") << Breaking([](KindCopy& k) {
            std::swap(k.fields[0].index, k.fields[1].index);
            return u"field 1 stands in place 0"_s;
        });
        QTest::newRow("a tag given twice") << Breaking([](KindCopy& k) {
            k.fields[2].tag = k.fields[1].tag;
            return u"tag \"%1\" given twice"_s.arg(k.fields[1].tag);
        });
        QTest::newRow("an identifier given twice") << Breaking([](KindCopy& k) {
            k.fields[2].identifier = k.fields[1].identifier;
            return u"identifier \"%1\" given twice"_s.arg(k.fields[1].identifier);
        });
        QTest::newRow("a field without an identifier") << Breaking([](KindCopy& k) {
            k.fields[3].identifier = {};
            return u"field 3 has no identifier"_s;
        });
        QTest::newRow("a role taken twice") << Breaking([](KindCopy& k) {
            k.fields[1].role = FieldRole::Amount;
            k.fields[2].role = FieldRole::Amount;
            return u"field 2 takes a role another field has"_s;
        });
        QTest::newRow("a field of no part") << Breaking([](KindCopy& k) {
            k.fields[4].part = int(k.parts.size());
            return u"field 4 belongs to no part"_s;
        });
        QTest::newRow("a copy to no field") << Breaking([](KindCopy& k) {
            k.fields[0].copiesTo = int(k.fields.size());
            return u"field 0 copies to no field"_s;
        });
        QTest::newRow("a switch that keeps no field off") << Breaking([](KindCopy& k) {
            k.switches.push_back({u"开关", {}, int(k.fields.size())});
            return u"switch \"开关\" keeps no field off the paper"_s;
        });
        QTest::newRow("a part shown by no switch") << Breaking([](KindCopy& k) {
            k.parts.back().shownBySwitch = int(k.switches.size());
            return u"part %1 is shown by no switch of the kind"_s.arg(k.parts.back().name);
        });
        QTest::newRow("no part at all") << Breaking([](KindCopy& k) {
            k.parts.clear();
            return u"the kind has no part"_s;
        });
        QTest::newRow("no shipped format") << Breaking([](KindCopy& k) {
            k.kind.shippedFormat = {};
            return u"the kind lacks its id, journal job, geometry or shipped format"_s;
        });
        QTest::newRow("no rows of its shipped format") << Breaking([](KindCopy& k) {
            k.kind.shippedFormatRows = {};
            return u"the kind lacks its id, journal job, geometry or shipped format"_s;
        });
    }
    void kindsAreConsistent() {
        QFETCH(Breaking, breaking);
        QVERIFY(!documentKinds().empty());
        for (const DocumentKind* shipped : documentKinds()) {
            KindCopy copy(*shipped);
            QVERIFY2(copy.fields.size() > 4 && !copy.parts.empty(),
                     qPrintable(copy.kind.id.toString()));
            const QString fault = breaking(copy);
            const QStringList faults = kindFaults(copy.tied());
            if (fault.isEmpty())
                QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"; "_s)));
            else
                QVERIFY2(faults.contains(fault), qPrintable(faults.join(u"; "_s)));
        }
    }

    // The shared rules find each field by its role, and every kind is found by its stored id.
    void rolesAndIdsFindTheirFields() {
        for (const DocumentKind* kind : documentKinds()) {
            QCOMPARE(kindById(kind->id), kind);
            for (const ChequeFieldInfo& field : kind->fields)
                if (field.role != FieldRole::None)
                    QCOMPARE(fieldWithRole(*kind, field.role), field.index);
            QCOMPARE(fieldWithRole(*kind, FieldRole::None), -1);
        }
        QCOMPARE(kindById(u"支票"), nullptr);
        QCOMPARE(fieldWithRole(transferCheque(), FieldRole::Amount), Field::Amount);
        QCOMPARE(fieldWithRole(transferCheque(), FieldRole::DrawerAccount), Field::Account);
    }
};

QTEST_GUILESS_MAIN(TestDocumentKind)
#include "tst_documentkind.moc"
