#pragma once

#include "Clock.h"

// The tests' "now": a working morning, stopped, so that every date and time the program fills
// in or writes down is known. A test that watches time pass moves it on with setNow.
inline const QDateTime kTestNow{QDate(2026, 12, 8), QTime(10, 0)};

inline Clock testClock() {
    Clock clock;
    clock.setNow(kTestNow);
    return clock;
}
