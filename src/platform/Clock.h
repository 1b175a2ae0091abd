#pragma once

#include <QDate>
#include <QDateTime>

namespace platform {

// The one place that says what time it is. Tests fix it; nothing else in the
// program asks the system for the current date or time.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    static QTime time() { return now().time(); }

    // Freezes the clock at the given moment (tests); an invalid value releases it.
    static void setFixed(const QDateTime& moment);
    // Moves a fixed clock forward; does nothing when the clock is not fixed.
    static void advance(qint64 milliseconds);
};

} // namespace platform
