#pragma once

#include <QDate>
#include <QDateTime>

// "Now" and "today" for the program; tests set a fixed time.
class Clock final {
public:
    QDateTime now() const { return m_fixed.isValid() ? m_fixed : QDateTime::currentDateTime(); }
    QDate today() const { return now().date(); }

    // A fixed time for every later call; an invalid time returns to the system clock.
    void setNow(const QDateTime& fixed) { m_fixed = fixed; }

private:
    QDateTime m_fixed;
};
