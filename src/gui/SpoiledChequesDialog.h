#pragma once

#include <memory>
#include <optional>

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include "PrintJob.h"

class Document;
class Prompts;
class QLineEdit;
class QTableWidget;

namespace Ui {
class SpoiledChequesDialog;
}

// A cheque of a numbered batch as the cashier marks it after the print: ticked when it came
// out spoiled, with the reason typed on its row (maybe none).
struct SpoiledMark {
    bool ticked = false;
    QString reason;
};

// The spoiled cheques the marks name, in the batch's order: each ticked one with its own
// reason, or `common` when it has none. Nothing when a ticked one is left without any reason;
// `missing` then holds its place.
std::optional<QList<SpoiledCheque>> spoiledFromMarks(const QList<SpoiledMark>& marks,
                                                     const QString& common, int* missing);

// After a numbered batch printed: its cheques (number, payee, amount), each with a tick box
// and a reason of its own, and one reason for every ticked one that has none. OK with nothing
// ticked means every cheque printed well; a ticked one without a reason is refused. There is
// no way out but OK: Esc and the close box do nothing. Not modal, like the program's other
// dialogs.
class SpoiledChequesDialog final : public QDialog {
    Q_OBJECT

public:
    SpoiledChequesDialog(const QList<Document>& cheques, const QStringList& numbers,
                         Prompts& prompts, QWidget* parent = nullptr);
    ~SpoiledChequesDialog() override;

    // Shows the dialog and waits for its answer: the spoiled cheques, none when every one
    // printed well; nothing when the dialog was destroyed unanswered, as the program closes.
    static std::optional<QList<SpoiledCheque>> askSpoiled(const QList<Document>& cheques,
                                                          const QStringList& numbers,
                                                          Prompts& prompts,
                                                          QWidget* parent = nullptr);

    QTableWidget* table() const;
    QLineEdit* commonReason() const;
    // "用于全部勾选": the common reason goes into every ticked row without a reason of its own.
    void applyCommonReason();
    // The spoiled cheques as marked; meaningful once the dialog was accepted.
    const QList<SpoiledCheque>& spoiled() const { return m_spoiled; }

    // OK: refused, with a message and the row's reason to type, while a ticked row has none.
    void accept() override;
    void reject() override {}

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<SpoiledMark> marks() const;
    void rowChanged(int row, int column);

    std::unique_ptr<Ui::SpoiledChequesDialog> m_ui;
    QStringList m_numbers;
    Prompts& m_prompts;
    QList<SpoiledCheque> m_spoiled;
};
