#include "OkCancelButtons.h"

#include <QDialogButtonBox>
#include <QPushButton>

void captionOkCancel(QDialogButtonBox& buttons, const QString& ok, const QString& cancel,
                     const QString& controlName) {
    const std::pair<QDialogButtonBox::StandardButton, QString> captions[] = {
        {QDialogButtonBox::Ok, ok}, {QDialogButtonBox::Cancel, cancel}};
    int index = 0;
    for (const auto& [which, caption] : captions) {
        QPushButton* button = buttons.button(which);
        button->setText(caption);
        button->setIcon(QIcon());  // text alone, as the program's other buttons
        button->setAccessibleName(caption);
        button->setObjectName(controlName + QString::number(index++));
    }
}
