#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "PrintJob.h"

class PrinterAccess;
class Prompts;

// The cashier answers a print's questions: message boxes, the printer dialog, the input box for
// an endorsement and the list of a numbered batch's cheques, each above `parent` (the window, or
// the batch list it came from).
class WindowPrintQuestions final : public PrintQuestions {
public:
    WindowPrintQuestions(Prompts& prompts, PrinterAccess& printers, QWidget* parent)
        : m_prompts(prompts), m_printers(printers), m_parent(parent) {}

    bool printOverflowing(const QString& fields) override;
    bool printOnUnusualDate(const QStringList& dates) override;
    bool printAgainToday(const QString& payee, const QString& figures) override;
    bool printBatchAgainToday(const QStringList& payments) override;
    bool choosePrinter(bool& noAnswer) override;
    bool confirmStart(const QString& summary) override;
    bool keep(int count) override;
    bool tryAgain() override;
    bool printCalibrationSquare() override;
    QString endorsementText() override;
    bool printDoubtfulIdentity(const QStringList& doubts) override;
    std::optional<LoadedNumber> confirmNumberedStart(const TakenNumber& offered,
                                                     const QString& refusal) override;
    std::optional<Outcome> numberedOutcome(const QString& number, QString* voidReason) override;
    bool keepNumbered() override { return true; }
    std::optional<QList<SpoiledCheque>> spoiledInBatch(const QList<Document>& cheques,
                                                       const QStringList& numbers) override;

private:
    Prompts& m_prompts;
    PrinterAccess& m_printers;
    QString m_typedNumber;  // what the cashier typed at the start, kept when it is refused
    QPointer<QWidget> m_parent;
};
