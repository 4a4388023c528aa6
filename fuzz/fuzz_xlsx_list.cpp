// Reads any bytes as an Excel workbook (.xlsx) payment list and checks what the reader makes
// of them.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "ListPromises.h"
#include "XlsxPaymentList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Not copied: a read past the input's end is one past the fuzzer's buffer.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    checkPaymentList(readXlsxPaymentList(bytes, &error), error);
    return 0;
}
