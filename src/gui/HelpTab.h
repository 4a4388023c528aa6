#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The help tab: the user guide, read-only, and the about command.
class HelpTab final : public QWidget {
    Q_OBJECT

public:
    explicit HelpTab(QWidget* parent = nullptr);

    QPlainTextEdit* guide() const { return m_guide; }

signals:
    void aboutRequested();

private:
    QPlainTextEdit* m_guide;  // Txt(10)
};
