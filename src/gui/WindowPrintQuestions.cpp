#include "WindowPrintQuestions.h"

#include "AmountText.h"
#include "ChequeRegister.h"
#include "OverflowGuard.h"
#include "PrinterDialog.h"
#include "Prompts.h"
#include "SpoiledChequesDialog.h"

using namespace Qt::StringLiterals;

bool WindowPrintQuestions::printOverflowing(const QString& fields) {
    return m_prompts.message(u"以下内容超出支票栏位："_s + fields + u"，是否继续打印？"_s, {},
                             PromptButtons::YesNoDefaultNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::printOnUnusualDate(const QStringList& dates) {
    const QString question =
        dates.size() == 1
            ? u"出票日期不是今天：%1。\n银行只在出票日起十天内付款，是否继续？"_s.arg(dates.front())
            : u"以下支票的出票日期不是今天：\n%1\n银行只在出票日起十天内付款，是否继续？"_s.arg(
                  dates.join(u'\n'));
    return m_prompts.message(question, {}, PromptButtons::YesNoDefaultNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::printAgainToday(const QString& payee, const QString& figures) {
    return m_prompts.message(u"今天已给 %1 打印过 %2 的支票，是否再打印一张？"_s.arg(
                                 payee, groupedFigures(figures)),
                             {}, PromptButtons::YesNoDefaultNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::printBatchAgainToday(const QStringList& payments) {
    return m_prompts.message(
               u"以下付款今天已打印过支票：\n%1\n是否再打印一次？"_s.arg(payments.join(u'\n')), {},
               PromptButtons::YesNoDefaultNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::choosePrinter(bool& noAnswer) {
    return !PrinterDialog::choosePrinterWithDialog(m_printers, m_prompts, m_parent, &noAnswer)
                .isEmpty();
}

bool WindowPrintQuestions::confirmStart(const QString& summary) {
    const QString start =
        u"请在选定的打印机中放好空白支票，并确认打印机已开启联机，然后按“确定”！"_s;
    return m_prompts.message(summary.isEmpty() ? start : summary + u'\n' + start, u"打印开始提示"_s,
                             PromptButtons::OkCancel) == PromptAnswer::Ok;
}

bool WindowPrintQuestions::keep(int count) {
    const QString question =
        count == 1 ? u"是否保存支票打印信息？"_s : u"是否保存这%1张支票的打印信息？"_s.arg(count);
    return m_prompts.message(question, {}, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::tryAgain() {
    return m_prompts.message(u"支票打印信息未能保存，是否重试？"_s, {}, PromptButtons::YesNo) ==
           PromptAnswer::Yes;
}

bool WindowPrintQuestions::printCalibrationSquare() {
    return m_prompts.message(u"您是否需要打印校验图形？如果要打印，请在打印机中放好A4纸一张。"_s,
                             u"打印位置校验"_s, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool WindowPrintQuestions::printDoubtfulIdentity(const QStringList& doubts) {
    return m_prompts.message(doubts.join(u'\n') + u"\n是否继续打印？"_s, {},
                             PromptButtons::YesNoDefaultNo) == PromptAnswer::Yes;
}

QString WindowPrintQuestions::endorsementText() {
    return m_prompts.inputBox(u"请输入背书内容(须换行处请输入“//”)："_s);
}

// The cashier holds a sheet of a given number: exactly that number is taken, or refused when
// another clerk took it meanwhile. The number is typed as it stands on the sheet: whole, or its
// last digits, which name the number of the book that ends in them.
std::optional<PrintQuestions::LoadedNumber> WindowPrintQuestions::confirmNumberedStart(
    const TakenNumber& offered, const QString& refusal) {
    const QString prompt =
        u"请在打印机中放好号码为 %1 的空白支票，并确认打印机已开启联机，"
        u"然后按“确定”！\n如放入的是本支票簿的另一张，请改为它的号码（或号码的末几位）。"_s.arg(
            serialText(offered.serial));
    QString typed =
        refusal.isEmpty() || m_typedNumber.isEmpty() ? serialText(offered.serial) : m_typedNumber;
    if (!refusal.isEmpty())
        m_prompts.message(refusal, {}, PromptButtons::Ok);
    for (;;) {
        typed = m_prompts.inputBox(prompt, u"打印开始提示"_s, typed).trimmed();
        if (typed.isEmpty())
            return std::nullopt;
        m_typedNumber = typed;
        QString why;
        if (const std::optional<qint64> serial = serialInBook(offered.book, typed, &why))
            return LoadedNumber{*serial};
        m_prompts.message(why, {}, PromptButtons::Ok);
    }
}

std::optional<PrintQuestions::Outcome> WindowPrintQuestions::numberedOutcome(const QString& number,
                                                                             QString* voidReason) {
    for (;;) {
        const std::optional<int> chosen = m_prompts.choose(
            u"号码为 %1 的支票打印完毕，请检查打印结果：\n"
            u"打印正常：支票可以使用；\n"
            u"原张重打：把这张支票放回打印机，在同一张上再打印一次；\n"
            u"作废换新：这张支票作废，换下一张空白支票重新打印。"_s.arg(number),
            u"打印结果"_s, {u"打印正常"_s, u"原张重打"_s, u"作废换新"_s});
        if (!chosen)
            return std::nullopt;
        if (*chosen == 0)
            return Outcome::PrintedWell;
        if (*chosen == 1) {
            // The same sheet goes through the printer again only once it is back in it.
            if (m_prompts.message(u"请放回号码为 %1 的支票，然后按“确定”"_s.arg(number),
                                  u"原张重打"_s, PromptButtons::OkCancel) == PromptAnswer::Ok)
                return Outcome::PrintAgain;
            continue;
        }
        const QString reason = m_prompts.inputBox(u"请输入作废原因："_s, u"作废"_s).trimmed();
        if (!reason.isEmpty()) {
            *voidReason = reason;
            return Outcome::Spoiled;
        }
        m_prompts.message(
            u"未填写作废原因，号码为 %1 的支票未作废，请重新选择打印结果。"_s.arg(number), {},
            PromptButtons::Ok);
    }
}

std::optional<QList<SpoiledCheque>> WindowPrintQuestions::spoiledInBatch(
    const QList<Document>& cheques, const QStringList& numbers) {
    return SpoiledChequesDialog::askSpoiled(cheques, numbers, m_prompts, m_parent);
}
