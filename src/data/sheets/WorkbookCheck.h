#pragma once

class QIODevice;

// Whether a workbook file (a zip archive of XML parts) is complete: its central directory is
// there and every XML part inflates to its stated size and ends with its root element closed.
// A part whose writing was cut short (a full disk while the workbook was assembled) fails.
// The file is read in pieces, never whole: a sheet of a million rows is a gigabyte of XML.
bool isCompleteWorkbook(QIODevice& file);
