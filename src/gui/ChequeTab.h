#pragma once

#include <array>
#include <functional>

#include <QStringList>
#include <QWidget>

#include "ChequeFields.h"
#include "ChequeSwitches.h"

class Cheque;
class ChequeCanvas;
class Prompts;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The cheque tab: the cheque drawn at screen scale with the nineteen fields over its blanks,
// the option switches and the two print buttons. The fields show the cheque value and write
// back into it; what happens while the user types and leaves a field is the field input
// logic of the core.
class ChequeTab final : public QWidget {
    Q_OBJECT

public:
    // `pickList` gives the distinct values of a history column for the pick list.
    ChequeTab(Cheque& cheque, Prompts& prompts,
              std::function<QStringList(const QString& column)> pickList,
              QWidget* parent = nullptr);

    // Shows every text, font and switch of the cheque.
    void showCheque();
    // Runs the leave-field logic of the field that has the focus and hides the pick list and
    // the date picker; every command does this first.
    void finishEditing();

    QLineEdit* field(int index) const { return m_fields[size_t(index)]; }
    QCheckBox* checkBox(int i) const { return m_chk[size_t(i)]; }
    QRadioButton* feedOption(int i) const { return m_op[size_t(i)]; }
    QComboBox* pickList() const { return m_pickList; }
    QCalendarWidget* datePicker() const { return m_datePicker; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* endorseButton() const { return m_endorse; }
    QPushButton* previewButton() const { return m_preview; }

signals:
    void printRequested();
    void endorseRequested();
    void previewRequested();
    // A right click on field `index` at `globalPos`: the adjustment popup opens there.
    void adjustRequested(int index, QPoint globalPos);
    // A text or a switch of the cheque changed (the preview follows).
    void chequeChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildSwitches(QWidget* panel);
    int indexOf(QObject* watched) const;
    void leaveField(int index);
    void showFieldTexts();
    void fieldDoubleClicked(int index);
    void openPickList(int index);
    void openDatePicker(int index);
    void hidePopups();
    void datePicked(const QDate& date);
    void pickListChanged(const QString& text);
    void rightClicked(int index, QPoint globalPos);

    Cheque& m_cheque;
    Prompts& m_prompts;
    std::function<QStringList(const QString&)> m_pickListSource;
    ChequeCanvas* m_canvas;
    std::array<QLineEdit*, kPrintableFieldCount> m_fields{};
    std::array<QCheckBox*, kCheckBoxCount> m_chk{};
    std::array<QRadioButton*, 2> m_op{};
    QComboBox* m_pickList;          // COMB
    QCalendarWidget* m_datePicker;  // DTP1
    QPushButton* m_print;           // Comm(1)
    QPushButton* m_endorse;         // Comm(0)
    QPushButton* m_preview;
    int m_pickTarget = -1;  // PickTarget
    bool m_leaving = false;
};
