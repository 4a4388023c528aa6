#include "DialogWait.h"

#include <QDialog>
#include <QEventLoop>
#include <QPointer>

int showAndWait(QDialog& dialog) {
    const QPointer<QDialog> shown(&dialog);
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(&dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog.show();
    loop.exec(QEventLoop::DialogExec);
    return shown ? shown->result() : QDialog::Rejected;
}
