#pragma once

#include <QString>
#include <QStringList>

class Prompts;
class QPrinter;

// The installed printers, in the system's order, and the system's default one.
QStringList installedPrinters();
QString defaultPrinterName();

// With no printer installed, shows "您的电脑没有连接打印机！" (title "打印机错误") and returns
// false.
bool checkPrinterInstalled(Prompts& prompts);

// Makes the installed printer `name` the printer's target, then tests that it answers and
// that its queue takes jobs (not stopped, not rejecting). The selected name, or an empty text
// after "没有正常连接打印机！".
QString selectPrinterByName(QPrinter& printer, const QString& name, Prompts& prompts);
