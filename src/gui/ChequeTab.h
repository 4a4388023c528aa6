#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QStringList>
#include <QWidget>

#include "ChequeFields.h"
#include "ChequeSwitches.h"

class Document;
class ChequeCanvas;
class Prompts;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QScrollArea;

// The cheque tab: the document drawn at screen scale with its kind's fields over its blanks
// (the transfer cheque's nineteen, the deposit slip's fourteen), the kind's option switches and
// the print buttons (the back's too, for a kind with a back). The fields show the cheque value and
// write back into it; what happens while the user types and leaves a field is the field input logic
// of the core. On a screen too small for the cheque, the cheque scrolls while the switches and the
// buttons stay in view.
class ChequeTab final : public QWidget {
    Q_OBJECT

public:
    // `pickList` gives the distinct values of a history column for the pick list.
    ChequeTab(Document& cheque, Prompts& prompts,
              std::function<QStringList(const QString& column)> pickList,
              QWidget* parent = nullptr);

    // Shows every text, font and switch of the cheque.
    void showCheque();
    // Builds the fields and switches again for the kind the document now is (after the window
    // changed the kind of its document), then shows it.
    void showKind();
    // Gives the focus to the first field of the focus chain (the year of the date).
    void focusFirstField();
    // Runs the leave-field logic of the field that has the focus and hides the pick list and
    // the date picker; every command does this first.
    void finishEditing();

    // A field's edit: a QLineEdit, or for the additional information a QTextEdit whose text
    // wraps within the stub's box.
    QWidget* field(int index) const { return m_fields[size_t(index)]; }
    QCheckBox* checkBox(int i) const { return m_chk.at(size_t(i)); }
    QRadioButton* feedOption(int i) const { return m_op[size_t(i)]; }
    QComboBox* pickList() const { return m_pickList; }
    QCalendarWidget* datePicker() const { return m_datePicker; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* endorseButton() const { return m_endorse; }
    // "打印背面": shown for a kind with a back.
    QPushButton* printBackButton() const { return m_printBack; }
    QPushButton* previewButton() const { return m_preview; }
    // The blank document the fields stand on.
    ChequeCanvas* canvas() const { return m_canvas; }
    QScrollArea* chequeArea() const { return m_area; }

signals:
    void printRequested();
    void endorseRequested();
    void printBackRequested();
    void previewRequested();
    // A right click on field `index` at `globalPos`: the adjustment popup opens there.
    void adjustRequested(int index, QPoint globalPos);
    // A text or a switch of the cheque changed (the preview follows).
    void chequeChanged();
    // The field's text was taken in (it was left, or picked from its list).
    void fieldLeft(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildSwitches();
    void buildFeedOptions();
    void chainFocus();
    bool isStubField(int index) const;
    void fieldEdited(int index, const QString& text);
    void switchChanged(int index, Qt::CheckState state);
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

    Document& m_cheque;
    Prompts& m_prompts;
    std::function<QStringList(const QString&)> m_pickListSource;
    ChequeCanvas* m_canvas;
    QScrollArea* m_area;             // the cheque, scrolled when the screen is too small for it
    std::vector<QWidget*> m_fields;  // one per field of the kind
    std::vector<QCheckBox*> m_chk;   // one per switch of the kind
    std::array<QRadioButton*, 2> m_op{};
    QComboBox* m_pickList;          // COMB
    QCalendarWidget* m_datePicker;  // DTP1
    QPushButton* m_print;           // Comm(1)
    QPushButton* m_endorse;         // Comm(0)
    QPushButton* m_printBack;
    QPushButton* m_preview;
    QWidget* m_panel;       // the switches that stand below the document, and the feed options
    int m_pickTarget = -1;  // PickTarget
    bool m_leaving = false;
};
