// The print of a cash cheque's back: a job of its own, after the front, on the same sheet
// turned over.
#include "BatchPrint.h"
#include "ChequePrinter.h"
#include "Document.h"
#include "IdentityNumber.h"
#include "OverflowGuard.h"
#include "PrintFormat.h"
#include "PrintJob.h"
#include "PrintJournal.h"

using namespace Qt::StringLiterals;

PrintResult PrintJob::printBacks(const QList<Document>& cheques, const QList<qint64>& historyRows) {
    if (cheques.isEmpty() || !hasBack(cheques.front().kind()))
        return {};
    const QString job = cheques.front().kind().backJob.toString();
    PrintResult result;
    if (!printerReady(job, cheques))
        return result;
    const QStringList doubts = sayOfEach(cheques, identityNumberDoubt);
    if (!doubts.isEmpty() && !m_questions.printDoubtfulIdentity(doubts)) {
        journal(job, cheques, cancelledAt(u"身份证件号码"_s));
        return result;
    }
    if (cheques.size() == 1) {
        const QList<int> overflowing = findOverflowingFields(
            cheques.front(), m_format, *printerLikeMeasure(), nullptr, PartSide::Back);
        if (!overflowing.isEmpty() &&
            !m_questions.printOverflowing(fieldIdentifiers(cheques.front().kind(), overflowing))) {
            journal(job, cheques, cancelledAt(u"超出支票栏位"_s));
            return result;
        }
    }
    if (!printerChosen(job, cheques))
        return result;
    const QString turnOver =
        cheques.size() == 1
            ? u"现金支票背面：请把支票翻过来，背面朝上放入。"_s
            : u"现金支票背面共 %1 张：请按正面的顺序翻过来，背面朝上放入。"_s.arg(cheques.size());
    if (!m_questions.confirmStart(turnOver)) {
        journal(job, cheques, cancelledAt(u"打印开始提示"_s));
        return result;
    }
    QStringList fields;
    for (const Document& cheque : cheques)
        fields << journalFields(cheque);
    QList<qint64> entries;
    const std::optional<bool> printed = journalAndSend(
        job, cheques, fields,
        [&](PrintSurface& surface) {
            return printChequeBatch(surface, cheques, m_format, {}, PartSide::Back);
        },
        entries);
    if (!printed)
        return result;
    result.printed = *printed;
    result.recorded = withRetries([&] {
        return recordOutcome(m_db, entries, result.printed ? kPrinted : kPrintFailed,
                             result.printed ? historyRows : QList<qint64>());
    });
    return result;
}
