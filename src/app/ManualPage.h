#pragma once

#include <QByteArray>
#include <QString>

// The manual page chequeprint(1) in roff, UTF-8. Its commands and options are written from the
// verb table, as the usage is; `date` (may be empty) goes into its title line.
QByteArray manualPage(const QString& date);
