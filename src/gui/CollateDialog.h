#pragma once

#include <functional>

#include <QPointer>
#include <QString>
#include <QWidget>

class Cheque;
class Database;
class QLabel;
class QLineEdit;
class QPushButton;

// Moves one field of a print format: shows the field's stored position in millimetres and
// stores the typed one, with the field's current font. While it is open the main window is
// disabled; it is shown without a modal loop and deletes itself on close.
class CollateDialog final : public QWidget {
    Q_OBJECT

public:
    // `field` is the position index (0..18); `refresh` runs after a successful store.
    CollateDialog(Database& db, const QString& formatName, int field, Cheque& cheque,
                  std::function<void()> refresh, QWidget* mainWindow);
    ~CollateDialog() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void loadPosition();
    void store();
    void enableMainWindow();

    Database& m_db;
    QString m_format;
    int m_field;
    Cheque& m_cheque;
    std::function<void()> m_refresh;
    QPointer<QWidget> m_mainWindow;
    QLabel* m_lbl;        // LBL
    QLineEdit* m_tx;      // TX
    QLineEdit* m_ty;      // TY
    QPushButton* m_com0;  // COM0
    QPushButton* m_com1;  // COM1
};
