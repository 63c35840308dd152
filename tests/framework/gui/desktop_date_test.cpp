#include "core/Date.h"

#include <gtest/gtest.h>

namespace {

// Puts a fixed clock in place for the life of the object.
class FixedClock {
public:
    explicit FixedClock(QDateTime t) : previous_(fw::SetDateClock([t] { return t; })) {}
    ~FixedClock() { fw::SetDateClock(previous_); }

private:
    fw::DateClock previous_;
};

TEST(Date, TakesItsMomentFromTheClockAndFormatsItShortInTheLocale) {
    const QDateTime moment(QDate(2024, 3, 5), QTime(15, 4, 59));
    FixedClock clock(moment);
    const fw::Date d;
    EXPECT_EQ(d.Year(), 2024);
    EXPECT_EQ(d.Month(), 3);
    EXPECT_EQ(d.Day(), 5);
    EXPECT_EQ(d.Hour(), 15);
    EXPECT_EQ(d.Minute(), 4);

    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_TRUE(d.ShortTime(german).Identical("15:04"));
    EXPECT_TRUE(d.ShortDate(german).Identical("05.03.24"));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_TRUE(d.ShortDate(us).Identical("3/5/24"));
    EXPECT_EQ(d.ShortTime(us).ToQString(), us.toString(QTime(15, 4), QLocale::ShortFormat));
    EXPECT_TRUE(d.ShortTime(us).ToQString().contains("3:04"));

    // Without a locale the user's own conventions apply.
    EXPECT_TRUE(d.ShortDate().Identical(d.ShortDate(QLocale::system())));
    EXPECT_TRUE(d.ShortTime().Identical(d.ShortTime(QLocale::system())));
}

TEST(Date, WithoutAnInstalledClockIsNow) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    const fw::Date d;
    EXPECT_GE(d.Moment(), before);
    EXPECT_LE(d.Moment(), QDateTime::currentDateTime().addSecs(1));
}

}  // namespace
