// Calendar, numeric and clock helpers shared by the Sun and Moon procedures.
#include <gtest/gtest.h>

#include "calendar_time.h"
#include "date.h"

namespace moonbite {
namespace {

TEST(DayNumber, FirstOfJanuary2000) {
    // J + F is the Julian date of 0h UT: JD 2451544.5 for 2000-01-01.
    const DayNumber sun = dayNumber(2000, 1, 1, 1583);
    EXPECT_EQ(sun.J, 2451544);
    EXPECT_EQ(sun.F, 0.5);
    EXPECT_EQ((sun.J - 2451545) + sun.F, -0.5);
    const DayNumber moon = dayNumber(2000, 1, 1, 1582);
    EXPECT_EQ(moon.J, sun.J);
}

TEST(DayNumber, GregorianCorrectionStartsAtTheGivenYear) {
    // 1 January 1582 is JD 2298883.5 in the Julian calendar; the Gregorian
    // reading of the same date is 10 days earlier.
    EXPECT_EQ(dayNumber(1582, 1, 1, 1583).J + 0.5, 2298883.5);
    EXPECT_EQ(dayNumber(1582, 1, 1, 1582).J + 0.5, 2298873.5);
    // From 1583 on both agree (1 January 1583 Gregorian = JD 2299238.5).
    EXPECT_EQ(dayNumber(1583, 1, 1, 1583).J + 0.5, 2299238.5);
    EXPECT_EQ(dayNumber(1583, 1, 1, 1582).J + 0.5, 2299238.5);
}

TEST(SiderealAngle, GreenwichAtStartOf2000) {
    // Astronomical Almanac 2000: GMST at 0h UT on 1 January is 6h 39m 52.3s = 99.968°.
    const double degrees = siderealAngle(-0.5, 0, 0) / DR;
    EXPECT_NEAR(degrees, 99.968, 0.01);
    // East longitude adds to the local sidereal time: 90°E is a quarter turn later.
    EXPECT_NEAR(siderealAngle(-0.5, 0, 0.25) / DR, 99.968 + 90, 0.01);
}

TEST(ClockOfCrossing, RoundsToTheNearestMinuteWithSinglePrecisionHalfMinute) {
    EXPECT_EQ(clockOfCrossing(18, 7.0 / 60).H3, 18);
    EXPECT_EQ(clockOfCrossing(18, 7.0 / 60).M3, 7);
    EXPECT_EQ(clockOfCrossing(18, 7.4 / 60).M3, 7);
    EXPECT_EQ(clockOfCrossing(18, 7.6 / 60).M3, 8);
    // Just under half a minute: the single-precision 1/120 is slightly larger
    // than the exact value and carries it to the next minute.
    EXPECT_EQ(clockOfCrossing(5, 1.0 / 120 - 3e-10).M3, 1);
}

TEST(ClockOfCrossing, LastHalfMinuteOfTheDayIsMidnight) {
    const CrossingTime c = clockOfCrossing(23, 0.9995);
    EXPECT_EQ(c.H3, 0);
    EXPECT_EQ(c.M3, 0);
}

TEST(CrossingFraction, QuadraticRootInsideTheHour) {
    // V = -1 + 4E - 2E^2 through (0,-1), (0.5,0.5), (1,1): root 1 - 1/sqrt(2).
    const auto e = crossingFraction(-1, 0.5, 1);
    ASSERT_TRUE(e.has_value());
    EXPECT_NEAR(*e, 1 - std::sqrt(0.5), 1e-12);
}

TEST(CrossingFraction, StraightLineTakesTheLinearRoot) {
    // A = 0: -1, -0.25, 0.5 lie on V = -1 + 1.5E, zero at E = 2/3.
    const auto e = crossingFraction(-1, -0.25, 0.5);
    ASSERT_TRUE(e.has_value());
    EXPECT_DOUBLE_EQ(*e, 2.0 / 3);
    EXPECT_DOUBLE_EQ(*crossingFraction(1, 0, -1), 0.5);
}

TEST(CrossingFraction, NegativeDiscriminantIsNoEvent) {
    // 1, 0.5, 1 lie on 1 - 2E + 2E^2, which never reaches zero.
    EXPECT_FALSE(crossingFraction(1, 0.5, 1).has_value());
}

TEST(Val, LeadingNumberOfAText) {
    EXPECT_EQ(Val("15"), 15);
    EXPECT_EQ(Val("  -10"), -10);
    EXPECT_EQ(Val("9.5 hrs"), 9.5);
    EXPECT_EQ(Val("   19 : 13"), 19);  // stops at the colon
    EXPECT_EQ(Val("1 2 3"), 123);      // blanks are skipped inside the number
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("2D2"), 200);
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("&HFF"), 255);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("1e999"), 0);  // out of range reads as nothing rather than infinity
}

TEST(NumberText, RoundTripsThroughVal) {
    Text t;
    numberText(t, -10);
    EXPECT_EQ(t, "-10");
    numberText(t, 9.5);
    EXPECT_EQ(t, "9.5");
    numberText(t, -0.0);
    EXPECT_EQ(t, "0");
    const double lat = -(33 + 52 / 60.0);
    numberText(t, lat);
    EXPECT_EQ(t, "-33.8666666666667");
    EXPECT_NEAR(Val(t), lat, 1e-13);
}

TEST(ToInt16, RoundsHalfToEvenAndSaturates) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(40000), 32767);
    EXPECT_EQ(toInt16(-40000), -32768);
}

TEST(FormatClock, TwelveHourTextsWithDesignators) {
    Text t;
    ClockDesignators english;
    formatClock(t, 18 * 60 + 7, english);
    EXPECT_EQ(t, "06:07 PM");
    formatClock(t, 5, english);
    EXPECT_EQ(t, "12:05 AM");
    formatClock(t, 12 * 60, english);
    EXPECT_EQ(t, "12:00 PM");
    formatClock(t, 11 * 60 + 59, english);
    EXPECT_EQ(t, "11:59 AM");
    formatClock(t, 1440 + 60, english);  // taken modulo one day
    EXPECT_EQ(t, "01:00 AM");
    ClockDesignators local;
    local.am = "vorm.";
    local.pm = "nachm.";
    formatClock(t, 19 * 60 + 13, local);
    EXPECT_EQ(t, "07:13 nachm.");
}

TEST(Date, ZeroDateAndKnownSerials) {
    EXPECT_EQ(Date{}.ymd(), (YearMonthDay{1899, 12, 30}));
    EXPECT_EQ(Date::fromYmd(2000, 1, 1)->serial(), 36526);
    EXPECT_EQ(Date::fromYmd(1901, 1, 1)->serial(), 367);
    EXPECT_EQ(Date::fromYmd(1899, 12, 31)->weekday(), 1);  // a Sunday
    EXPECT_EQ(Date::fromYmd(2000, 1, 1)->weekday(), 7);    // a Saturday
    EXPECT_EQ(Date::fromYmd(2026, 12, 7)->weekday(), 2);   // a Monday
}

TEST(Date, ArithmeticAndValidation) {
    const Date d = *Date::fromYmd(1999, 12, 31);
    EXPECT_EQ((d + 1).ymd(), (YearMonthDay{2000, 1, 1}));
    EXPECT_EQ(*Date::fromYmd(2000, 3, 1) - *Date::fromYmd(2000, 2, 1), 29);
    EXPECT_EQ(*Date::fromYmd(2100, 3, 1) - *Date::fromYmd(2100, 2, 1), 28);
    EXPECT_FALSE(Date::fromYmd(2001, 2, 29).has_value());
    EXPECT_FALSE(Date::fromYmd(2000, 13, 1).has_value());
    EXPECT_FALSE(Date::fromYmd(2000, 4, 31).has_value());
    for (int serial = -1000; serial < 120000; serial += 97) {
        const Date x = Date::fromSerial(serial);
        const YearMonthDay y = x.ymd();
        EXPECT_EQ(Date::fromYmd(y.year, y.month, y.day)->serial(), serial);
    }
}

TEST(ParseDateText, TheProgramsOwnDateTexts) {
    EXPECT_EQ(parseDateText("21 January 2000"), Date::fromYmd(2000, 1, 21));
    EXPECT_EQ(parseDateText("25/ December/2000"), Date::fromYmd(2000, 12, 25));
    EXPECT_EQ(parseDateText("25  december 2000"), Date::fromYmd(2000, 12, 25));
    EXPECT_EQ(parseDateText("5-11-1999"), Date::fromYmd(1999, 11, 5));
    EXPECT_FALSE(parseDateText("31 February 2000"));
    EXPECT_FALSE(parseDateText("0 March 2000"));
    EXPECT_FALSE(parseDateText("5abc January 2000"));
    EXPECT_FALSE(parseDateText("January 2000"));
    EXPECT_FALSE(parseDateText(""));
}

}  // namespace
}  // namespace moonbite
