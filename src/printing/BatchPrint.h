#pragma once

#include <functional>

#include <QList>
#include <QString>

#include "DocumentKind.h"

class Document;
class PrintSurface;
struct PrintFormat;

// What the cashier confirms before a batch prints: "共 N 张支票，合计 ￥…" ("共 N 张进账单…" for
// slips), the total of the amounts in figures with thousands grouped.
QString batchSummary(const QList<Document>& cheques);

// What one of the documents is called: 支票, 进账单 (支票 for none).
QString documentNoun(const QList<Document>& documents);

// Prints the cheques as one document with a page each, in order: the page is set up once, for
// the first cheque (every cheque of a batch shares its switches and format). `pageDrawn(k)` is
// told after the k-th page. On any failure the document is abandoned, so that no cheque of the
// batch reaches the printer, and the result is false.
bool printChequeBatch(PrintSurface& surface, const QList<Document>& cheques,
                      const PrintFormat& format, const std::function<void(int)>& pageDrawn,
                      PartSide side = PartSide::Front);

// What `say` says of each document that it has something to say of (empty: nothing), for a
// question before a print: as it stands for one document, led by the document's place and payee
// ("第2张（乙公司）：…") in a batch.
QStringList sayOfEach(const QList<Document>& documents,
                      const std::function<QString(const Document&)>& say);

// What the cashier is told when a batch failed: that none of its documents was printed.
QString batchFailure(const QList<Document>& documents);
