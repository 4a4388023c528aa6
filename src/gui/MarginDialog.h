#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QString>

class Document;
class Database;
struct FormatDisplays;

namespace Ui {
class MarginDialog;
}

// The margin dialog: the measured distances of the calibration square from the paper's edges,
// stored as the format's page margins (the stub width stays). It is not modal: the main window
// stays usable.
class MarginDialog final : public QDialog {
    Q_OBJECT

public:
    // `stored` runs after the margins were stored (the window shows them there).
    MarginDialog(Database& db, const QString& format, Document& cheque, FormatDisplays& displays,
                 std::function<void()> stored, QWidget* parent = nullptr);
    ~MarginDialog() override;

    // OK: stores the two margins, then closes.
    void accept() override;

private:
    std::unique_ptr<Ui::MarginDialog> m_ui;
    Database& m_db;
    QString m_format;
    Document& m_cheque;
    FormatDisplays& m_displays;
    std::function<void()> m_stored;
};
