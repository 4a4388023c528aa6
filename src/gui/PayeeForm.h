#pragma once

#include <functional>
#include <memory>

#include <QDialog>

#include "PayeeBook.h"

namespace Ui {
class PayeeForm;
}

// One entry of the book of counterparties, to add or to change. 确定 hands the entry to `save`;
// when the book refuses it, the reason shows in the form, which stays open with what was typed.
class PayeeForm final : public QDialog {
    Q_OBJECT

public:
    // Saves the entry; false with the reason, or with none after the database's own message.
    using Save = std::function<bool(const Payee& payee, QString* why)>;

    PayeeForm(const QString& title, const Payee& payee, Save save, QWidget* parent = nullptr);
    ~PayeeForm() override;

    // The entry as the fields have it, with the ID it was opened with.
    Payee payee() const;
    // The refusal shown; empty when none.
    QString shownReason() const;

    void accept() override;

private:
    std::unique_ptr<Ui::PayeeForm> m_ui;
    qint64 m_id;
    Save m_save;
};
