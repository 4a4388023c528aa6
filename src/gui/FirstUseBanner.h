#pragma once

#include <QFrame>

class QLabel;
class QSettings;
class QToolButton;

// The line a first start shows above the tabs: where to begin (calibrating the printer), with a
// link to the margins, and a button that hides it for good. Once the printer is calibrated, or
// once the user has entered margins or hidden it (remembered in the user's settings), it no
// longer shows.
class FirstUseBanner final : public QFrame {
    Q_OBJECT

public:
    explicit FirstUseBanner(QSettings& settings, QWidget* parent = nullptr);

    // Shows the line while `firstUse` holds, unless the user has hidden it.
    void showWhile(bool firstUse);
    // Hides it, and for good: the user has seen it, or has done what it says.
    void dismiss();
    QLabel* line() const { return m_line; }
    QToolButton* hideButton() const { return m_hide; }

signals:
    // The link: 格式 → 修改页边距.
    void calibrateRequested();

private:
    QSettings& m_settings;
    QLabel* m_line;
    QToolButton* m_hide;
};
