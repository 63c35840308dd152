// Date: a local date and time, taken from the clock when made.
//
// The clock can be replaced so that a test (or a footer built from the
// current time) sees a fixed moment; the texts follow the user's locale
// unless a locale is given.
#pragma once

#include "core/Object.h"
#include "core/String.h"

#include <QDateTime>
#include <QLocale>

#include <functional>

namespace fw {

using DateClock = std::function<QDateTime()>;
// Installs the clock new Dates read (an empty function restores the
// system clock); returns the previous one.
DateClock SetDateClock(DateClock clock);

class Date : public Object {
public:
    // The current local date and time.
    Date();
    explicit Date(const QDateTime& moment) : moment_(moment.toLocalTime()) {}

    const QDateTime& Moment() const { return moment_; }
    int32_t Year() const { return moment_.date().year(); }
    int32_t Month() const { return moment_.date().month(); }
    int32_t Day() const { return moment_.date().day(); }
    int32_t Hour() const { return moment_.time().hour(); }
    int32_t Minute() const { return moment_.time().minute(); }
    int32_t Second() const { return moment_.time().second(); }

    // The time and the date as short text in the user's conventions.
    String ShortTime() const { return ShortTime(QLocale::system()); }
    String ShortDate() const { return ShortDate(QLocale::system()); }
    String ShortTime(const QLocale& locale) const;
    String ShortDate(const QLocale& locale) const;

private:
    QDateTime moment_;
};

}  // namespace fw
