// The cheque tab's events: which field an event is for, and what leaving, a key, a click or a
// double-click on it does.
#include "ChequeTab.h"

#include <QAbstractScrollArea>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "Document.h"

int ChequeTab::indexOf(QObject* watched) const {
    for (int i = 0; i < int(m_fields.size()); ++i) {
        QWidget* field = m_fields[size_t(i)];
        if (field == watched)
            return i;
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(field);
            area && area->viewport() == watched)
            return i;
    }
    return -1;
}

bool ChequeTab::eventFilter(QObject* watched, QEvent* event) {
    const int index = indexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusOut: {
            // Switching to another program or opening a popup is no leaving of the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (!isStubField(index) && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::PopupFocusReason)
                leaveField(index);
            break;
        }
        case QEvent::KeyPress: {
            // Enter moves on as Tab does, Shift+Enter back: a cheque is typed without the
            // mouse. The additional information takes Enter as its own line break.
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                qobject_cast<QLineEdit*>(watched)) {
                focusNextPrevChild(!key->modifiers().testFlag(Qt::ShiftModifier));
                return true;
            }
            break;
        }
        case QEvent::FocusIn:
            if (isStubField(index))  // a stub field selects its whole text
                QMetaObject::invokeMethod(m_fields[size_t(index)], "selectAll",
                                          Qt::QueuedConnection);
            break;
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                rightClicked(index, mouse->globalPosition().toPoint());
                return true;
            }
            if (mouse->button() == Qt::LeftButton)
                hidePopups();
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !isStubField(index))
                fieldDoubleClicked(index);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void ChequeTab::fieldDoubleClicked(int index) {
    switch (m_cheque.kind().fields[size_t(index)].pick) {
        case FieldPick::Calendar:
            openDatePicker(index);
            break;
        case FieldPick::None:
            m_datePicker->hide();
            break;
        case FieldPick::History:
            openPickList(index);
            break;
    }
}

void ChequeTab::rightClicked(int index, QPoint globalPos) {
    QWidget* field = m_fields[size_t(index)];
    const bool enabled = field->isEnabled();
    field->setEnabled(false);  // so that the field's own menu does not open
    emit adjustRequested(index, globalPos);
    field->setEnabled(isStubField(index) ? true : enabled);
}
