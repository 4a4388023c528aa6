#pragma once

#include <QObject>

class QWidget;

// A list that must not be edited by typing (the format list, the printer list, the format names
// to delete): keys that type a character are discarded, while the arrows, Tab, Enter and Esc
// still work.
class TypedKeysFilter final : public QObject {
public:
    using QObject::QObject;

    // Makes `box` ignore typed characters for as long as it lives.
    static void install(QWidget& box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
