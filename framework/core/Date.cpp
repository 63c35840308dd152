#include "core/Date.h"

namespace fw {

namespace {
DateClock& Clock() {
    static DateClock clock;
    return clock;
}
}  // namespace

DateClock SetDateClock(DateClock clock) {
    DateClock previous = std::move(Clock());
    Clock() = std::move(clock);
    return previous;
}

Date::Date() : moment_(Clock() ? Clock()().toLocalTime() : QDateTime::currentDateTime()) {}

String Date::ShortTime(const QLocale& locale) const {
    return String::FromQString(locale.toString(moment_.time(), QLocale::ShortFormat));
}

String Date::ShortDate(const QLocale& locale) const {
    return String::FromQString(locale.toString(moment_.date(), QLocale::ShortFormat));
}

}  // namespace fw
