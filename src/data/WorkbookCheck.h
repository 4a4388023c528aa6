#pragma once

class QByteArray;

// Whether a workbook file (a zip archive of XML parts) is complete: its central directory is
// there and every XML part inflates to its stated size and ends with its root element closed.
// A part whose writing was cut short (a full disk while the workbook was assembled) fails.
bool isCompleteWorkbook(const QByteArray& archive);
