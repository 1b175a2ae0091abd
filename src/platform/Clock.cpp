#include "platform/Clock.h"

namespace platform {

namespace {
QDateTime& fixedMoment() {
    static QDateTime moment;
    return moment;
}
} // namespace

QDateTime Clock::now() {
    const QDateTime& f = fixedMoment();
    return f.isValid() ? f : QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime& moment) {
    fixedMoment() = moment;
}

void Clock::advance(qint64 milliseconds) {
    QDateTime& f = fixedMoment();
    if (f.isValid()) f = f.addMSecs(milliseconds);
}

} // namespace platform
