#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Prompts;

// Writes rows of a payment list, under its own headings, as an .xlsx workbook that reads back
// as the same list: every cell a text cell, exactly as it was read. Written completely or not
// at all; false after the message ("文件保存出错！").
bool savePaymentList(const QString& fileName, const QStringList& headings,
                     const QList<QStringList>& rows, Prompts& prompts);
