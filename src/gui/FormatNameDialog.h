#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QPushButton;

// The format name dialog: in save-as mode a listed name is picked or a new one typed; in
// delete mode only a listed name can be picked. Shown without a modal call; the caller waits
// with WaitWhileFormOpen for its caption.
class FormatNameDialog final : public QWidget {
    Q_OBJECT

public:
    FormatNameDialog(const QStringList& names, const QString& current, bool saveAs,
                     QString& selectedFormatName, QWidget* parent = nullptr);

    // Shows the dialog, waits until it has closed and returns the chosen name (trimmed; empty
    // when cancelled or closed any other way than by OK).
    static QString chooseFormatName(const QStringList& names, const QString& current, bool saveAs,
                                    QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void accept();  // OK: the name shown is the one chosen

    bool m_saveAs;        // IsSaveAs
    QString& m_selected;  // SelectedFormatName
    QComboBox* m_names;   // CMB
    QPushButton* m_cancel;
};
