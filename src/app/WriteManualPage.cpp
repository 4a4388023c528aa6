// Writes the manual page into the file it is given, at build time:
//   chequeprint-manual FILE
// The page is dated by SOURCE_DATE_EPOCH when it is set, and otherwise not at all, so that two
// builds of one source write the same page.

#include <cstdio>

#include <QDateTime>
#include <QSaveFile>
#include <QTimeZone>

#include "ManualPage.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: chequeprint-manual FILE\n", stderr);
        return 2;
    }
    QString date;
    bool isNumber = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&isNumber);
    if (isNumber)
        date = QDateTime::fromSecsSinceEpoch(epoch, QTimeZone::utc()).toString(u"yyyy-MM-dd"_s);
    const QByteArray page = manualPage(date);
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit()) {
        std::fprintf(stderr, "chequeprint-manual: cannot write %s: %s\n", argv[1],
                     file.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
