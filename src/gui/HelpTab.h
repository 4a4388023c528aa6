#pragma once

#include <memory>

#include <QWidget>

class QPlainTextEdit;

namespace Ui {
class HelpTab;
}

// The help tab: the user guide, read-only, and the about command.
class HelpTab final : public QWidget {
    Q_OBJECT

public:
    explicit HelpTab(QWidget* parent = nullptr);
    ~HelpTab() override;

    QPlainTextEdit* guide() const;

signals:
    void aboutRequested();

private:
    std::unique_ptr<Ui::HelpTab> m_ui;
};
