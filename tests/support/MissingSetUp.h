#pragma once

#include <QString>
#include <QTest>

// A test that needs what a machine may lack (a CUPS print queue, a PostgreSQL server) skips
// without it, saying why. In CI (CI=true), which sets these up (.ci/run), their absence is a
// broken set-up: the test fails instead, so that CI cannot stay green without them.
inline bool runningInCi() {
    return qEnvironmentVariable("CI") == QStringLiteral("true");
}

#define SKIP_FOR_MISSING_SET_UP(reason)                                                \
    do {                                                                               \
        const QString missing_ = (reason);                                             \
        if (runningInCi())                                                             \
            QFAIL(qPrintable(missing_ + QStringLiteral(" (CI=true: CI sets it up)"))); \
        QSKIP(qPrintable(missing_));                                                   \
    } while (false)
