#pragma once

#include <functional>

#include <QString>
#include <QWidget>

class Cheque;
class Database;
class QLineEdit;
struct FormatDisplays;

// The margin dialog: the measured distances of the calibration square from the paper's edges,
// stored as the format's page margins (the stub width stays). It leaves the main window
// enabled.
class MarginDialog final : public QWidget {
    Q_OBJECT

public:
    // `stored` runs after the margins were stored (the window shows them there).
    MarginDialog(Database& db, const QString& format, Cheque& cheque, FormatDisplays& displays,
                 std::function<void()> stored, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void store();

    Database& m_db;
    QString m_format;
    Cheque& m_cheque;
    FormatDisplays& m_displays;
    std::function<void()> m_stored;
    QLineEdit* m_tx;  // TX
    QLineEdit* m_ty;  // TY
};
