#include "PaymentListSave.h"

#include "Clock.h"
#include "ExportRows.h"
#include "GridExport.h"
#include "ProgressIndicator.h"

using namespace Qt::StringLiterals;

namespace {

class ListRows final : public ExportRows {
public:
    ListRows(const QStringList& headings, const QList<QStringList>& rows)
        : m_headings(headings), m_rows(rows) {}

    const QStringList& headings() const override { return m_headings; }
    qint64 count() const override { return m_rows.size(); }
    bool next(QStringList& texts) override {
        if (m_next >= m_rows.size())
            return false;
        texts = m_rows[m_next++];
        texts.resize(m_headings.size());
        return true;
    }

private:
    const QStringList& m_headings;
    const QList<QStringList>& m_rows;
    qsizetype m_next = 0;
};

}  // namespace

bool savePaymentList(const QString& fileName, const QStringList& headings,
                     const QList<QStringList>& rows, Prompts& prompts) {
    ListRows list(headings, rows);
    const Clock clock;
    ProgressIndicator progress(clock);
    return ExportExcel(list, fileName, u"付款清单"_s, progress, prompts);
}
