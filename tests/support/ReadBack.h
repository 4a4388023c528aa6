#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

// An exported file read back by readback.py (READBACK_SCRIPT): a workbook through openpyxl, a CSV
// file through Python's csv module, as JSON.
inline QJsonObject readBack(const QStringList& arguments) {
    QProcess python;
    python.start(QStringLiteral("python3"),
                 QStringList{QStringLiteral(READBACK_SCRIPT)} + arguments);
    python.waitForFinished(120000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// The rows of what readBack() gave, each as its cells' texts.
inline QList<QStringList> rowsOf(const QJsonObject& json) {
    QList<QStringList> rows;
    for (const QJsonValue& row : json[QStringLiteral("rows")].toArray()) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray())
            cells << cell.toString();
        rows << cells;
    }
    return rows;
}
