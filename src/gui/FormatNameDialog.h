#pragma once

#include <memory>

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class FormatNameDialog;
}

// The format name dialog: in save-as mode a listed name is picked or a new one typed; in
// delete mode only a listed name can be picked. It is not modal: the caller waits for it while
// every window keeps answering.
class FormatNameDialog final : public QDialog {
    Q_OBJECT

public:
    FormatNameDialog(const QStringList& names, const QString& current, bool saveAs,
                     QWidget* parent = nullptr);
    ~FormatNameDialog() override;

    // Shows the dialog, waits until it has closed and returns the chosen name (trimmed; empty
    // when cancelled or closed any other way than by OK).
    static QString chooseFormatName(const QStringList& names, const QString& current, bool saveAs,
                                    QWidget* parent = nullptr);

    // The name shown, trimmed: the one chosen when the dialog was accepted.
    QString shownName() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::FormatNameDialog> m_ui;
};
