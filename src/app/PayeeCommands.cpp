// The verb of the book of counterparties: payee add, list, remove and import.
#include "PayeeBook.h"
#include "PayeeImport.h"
#include "VerbSession.h"
#include "Verbs.h"

using namespace Qt::StringLiterals;

namespace {

// The options of payee add and the entry's value each sets.
const QStringList kAddOptions = {u"--account"_s,    u"--bank"_s,  u"--purpose"_s,
                                 u"--print-name"_s, u"--notes"_s, u"--own"_s};

// 1, after the reason when there is one (otherwise the database's message was shown).
int refused(const Io& io, const QString& why) {
    if (!why.isEmpty())
        write(io.err, "chequeprint: " + why.toUtf8() + '\n');
    return 1;
}

int addEntry(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 2)
        return usageError(io, u"payee add needs NAME"_s);
    const Payee payee{.fullName = args.inputs[1],
                      .printName = args.option(u"--print-name"_s),
                      .account = args.option(u"--account"_s),
                      .bank = args.option(u"--bank"_s),
                      .purpose = args.option(u"--purpose"_s),
                      .notes = args.option(u"--notes"_s),
                      .own = args.has(u"--own"_s)};
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    QString why;
    return addPayee(s.db, payee, &why) ? 0 : refused(io, why);
}

int listEntries(const Arguments& args, const Io& io) {
    if (args.inputs.size() > 2)
        return usageError(io, u"payee list takes at most one TEXT"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    const std::optional<QList<Payee>> entries = payees(s.db, args.inputs.value(1));
    if (!entries)
        return 1;
    QString output = u"全称\t打印名称\t账号\t开户银行\t用途\t备注\t本单位\n"_s;
    for (const Payee& payee : *entries) {
        QStringList cells;
        for (const QString& cell : {payee.fullName, payee.printName, payee.account, payee.bank,
                                    payee.purpose, payee.notes})
            cells << oneLine(cell);
        cells << (payee.own ? u"是"_s : QString());
        output += cells.join(u'\t') + u'\n';
    }
    return writeOut(io, output.toUtf8());
}

int removeEntry(const Arguments& args, const Io& io) {
    if (args.inputs.size() != 2)
        return usageError(io, u"payee remove needs NAME"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    QString why;
    return removePayee(s.db, args.inputs[1], &why) ? 0 : refused(io, why);
}

int importEntries(const Arguments& args, const Io& io) {
    const bool fromHistory = args.has(u"--history"_s);
    if (fromHistory ? args.inputs.size() != 1 : args.inputs.size() != 2)
        return usageError(io, u"payee import needs FILE or --history"_s);
    VerbSession s(io);
    if (!s.open(args))
        return 1;
    QString why;
    const std::optional<PayeeImportCount> count =
        fromHistory ? importHistoryPayees(s.db) : importPayeeList(s.db, args.inputs[1], &why);
    if (!count)
        return refused(io, why.isEmpty() ? QString() : u"未导入，往来单位没有改动：\n"_s + why);
    return writeOut(io,
                    u"新增 %1 个，更新 %2 个\n"_s.arg(count->added).arg(count->updated).toUtf8());
}

}  // namespace

int payeeVerb(const Arguments& args, const Io& io) {
    const QString action = args.inputs.value(0);
    if (action != u"add" && action != u"list" && action != u"remove" && action != u"import")
        return usageError(io, u"payee needs add, list, remove or import"_s);
    if (action != u"add")
        for (const QString& option : kAddOptions)
            if (args.has(option))
                return usageError(io, option + u" is for payee add"_s);
    if (action != u"import" && args.has(u"--history"_s))
        return usageError(io, u"--history is for payee import"_s);
    if (action == u"add")
        return addEntry(args, io);
    if (action == u"list")
        return listEntries(args, io);
    if (action == u"remove")
        return removeEntry(args, io);
    return importEntries(args, io);
}
