#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

class Document;
class Database;

namespace Ui {
class CollateDialog;
}

// Moves one field of a print format: shows the field's stored position in millimetres and
// stores the typed one, with the field's current font. Opened modal to the main window (which
// takes no input while it is open) without a loop of its own; it deletes itself on close.
class CollateDialog final : public QDialog {
    Q_OBJECT

public:
    // `field` is the position index (0..18); `refresh` runs after a successful store.
    CollateDialog(Database& db, const QString& formatName, int field, Document& cheque,
                  std::function<void()> refresh, QWidget* mainWindow);
    ~CollateDialog() override;

    // OK: stores the typed position, then closes.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadPosition();

    std::unique_ptr<Ui::CollateDialog> m_ui;
    Database& m_db;
    QString m_format;
    int m_field;
    Document& m_cheque;
    std::function<void()> m_refresh;
};
