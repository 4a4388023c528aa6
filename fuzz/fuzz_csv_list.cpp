// Reads any bytes as a CSV payment list and checks what the reader makes of them.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "ListPromises.h"
#include "PaymentList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Not copied: a read past the input's end is one past the fuzzer's buffer.
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    checkPaymentList(readCsvPaymentList(bytes, &error), error);
    return 0;
}
