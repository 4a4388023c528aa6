#include <QColor>
#include <QString>
