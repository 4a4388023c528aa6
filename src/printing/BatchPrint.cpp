#include "BatchPrint.h"

#include "AmountText.h"
#include "ChequePrinter.h"
#include "Document.h"
#include "FieldInput.h"
#include "PrintLayout.h"
#include "PrintSurface.h"

using namespace Qt::StringLiterals;

QString batchSummary(const QList<Document>& cheques) {
    // Whole cents, so that a thousand amounts add up exactly.
    qint64 cents = 0;
    for (const Document& cheque : cheques) {
        const QString figures = cheque.textOf(FieldRole::Amount);
        if (isFigureForm(figures))
            cents += QStringView(figures).mid(1).toString().remove(u'.').toLongLong();
    }
    return u"共 %1 张%2，合计 %3"_s.arg(cheques.size())
        .arg(documentNoun(cheques), groupedYuan(cents));
}

QString documentNoun(const QList<Document>& documents) {
    // The journal's name of a kind's prints is what a cashier calls one: 支票, 进账单.
    return documents.isEmpty() ? u"支票"_s : documents.front().kind().journalJob.toString();
}

bool printChequeBatch(PrintSurface& surface, const QList<Document>& cheques,
                      const PrintFormat& format, const std::function<void(int)>& pageDrawn,
                      PartSide side) {
    bool ok = !cheques.isEmpty() && SetupChequePage(surface, cheques.front(), side);
    for (qsizetype k = 0; ok && k < cheques.size(); ++k) {
        ok = (k == 0 || surface.newPage()) && drawChequePage(surface, cheques[k], format, side);
        if (ok && pageDrawn)
            pageDrawn(int(k + 1));
    }
    if (ok && surface.endDocument())
        return true;
    surface.abandonDocument();
    return false;
}

QStringList sayOfEach(const QList<Document>& documents,
                      const std::function<QString(const Document&)>& say) {
    QStringList said;
    for (qsizetype k = 0; k < documents.size(); ++k) {
        const QString text = say(documents[k]);
        if (!text.isEmpty())
            said << (documents.size() == 1 ? text
                                           : u"第%1张（%2）：%3"_s.arg(k + 1).arg(
                                                 documents[k].textOf(FieldRole::Payee), text));
    }
    return said;
}

QString batchFailure(const QList<Document>& documents) {
    return u"打印错误，请检查打印机！本批 %1 张%2都没有打印。"_s.arg(documents.size())
        .arg(documentNoun(documents));
}
