// The shared pieces of the rise/set method (day number, sidereal angle, hourly
// horizon test, clock rounding) and the small numeric and clock-text helpers
// that every procedure of the core uses.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fixed_text.h"

namespace moonbite {

// Constants of the rise/set method. Pi is deliberately the eight-decimal value
// the published times were computed with.
inline constexpr double P1 = 3.14159265;
inline constexpr double P2 = 2 * P1;
inline constexpr double DR = P1 / 180;
inline constexpr double K1 = 15 * DR * 1.0027379;
/// Half a minute, held in single precision: the clock rounding adds exactly this value.
inline const double kHalfMinute = static_cast<double>(1.0f / 120.0f);

/// INT: the floor, also for negative values (INT(-1.5) = -2).
[[nodiscard]] inline double INT(double x) {
    return std::floor(x);
}
/// SGN: -1, 0 or +1.
[[nodiscard]] inline int SGN(double x) {
    return (x > 0) - (x < 0);
}

/// The leading number of a text: blanks, tabs and line feeds are skipped
/// anywhere, then an optional sign, digits, a decimal point and an exponent
/// ("E" or "D"); "&H" and "&O" introduce hexadecimal and octal numbers.
/// Parsing stops at the first character that cannot belong to the number;
/// 0 when the text does not start with one.
[[nodiscard]] double Val(std::string_view text);

/// The decimal text of a number with up to 15 significant digits and no
/// trailing zeros ("10", "-9.5", "-33.8666666666667"), as numbers are shown in
/// boxes and read back with Val.
void numberText(Text& out, double value);

/// Conversion to a 16-bit integer: rounds half to even, saturates at the ends.
[[nodiscard]] std::int16_t toInt16(double value);

/// AM/PM designators used in clock texts; a window passes its locale's.
struct ClockDesignators {
    FixedText<15> am = "AM";
    FixedText<15> pm = "PM";
};

/// "hh:mm AMPM": two-digit hour on the 12-hour clock, colon, two-digit minute,
/// a blank and the designator. The time is given in minutes of the day and is
/// taken modulo one day (19 h 13 min = 1153 gives "07:13 PM", 0 h 5 min "12:05 AM").
void formatClock(Text& out, int minuteOfDay, const ClockDesignators& designators);

/// Julian day number of the computation date as the rise/set method counts it:
/// J is the Julian day number of the date's noon minus one and F = 0.5, so
/// J + F is 0h Universal Time (1 January 2000 gives J = 2451544, F = 0.5).
/// The Gregorian correction applies from gregorianFromYear on (the Sun uses
/// 1583, the Moon 1582).
struct DayNumber {
    double J = 0;
    double F = 0;
};
[[nodiscard]] DayNumber dayNumber(int year, int month, int day, int gregorianFromYear);

/// Local sidereal time at 0h zone time, radians. T: days from 1 January 2000
/// 12h to 0h UT of the date; Z0: zone in days (the negated offset / 24);
/// L5: longitude in turns, east positive.
[[nodiscard]] double siderealAngle(double T, double Z0, double L5);

/// One hour of the horizon test. The caller fills the positions at the start
/// (A0, D0) and end (A2, D2) of hour C0 and the observer terms; V0 is the
/// altitude function at the start of the hour (computed here for C0 = 0) and
/// is replaced by V2 on return.
struct HourTest {
    double T0 = 0;  ///< sidereal angle at 0h zone time
    double S = 0;   ///< sine of the latitude
    double C = 0;   ///< cosine of the latitude
    double Z = 0;   ///< cosine of the horizon's zenith distance
    double A0 = 0, D0 = 0, A2 = 0, D2 = 0;
    double V0 = 0, V2 = 0;
};

enum class Crossing { None, Rise, Set, Neither };

struct CrossingTime {
    Crossing kind = Crossing::None;
    int H3 = 0;  ///< hour 0..23 (24 shown as 0)
    int M3 = 0;  ///< minute 0..59
    /// Minutes from the hour test's 00:00 that the crossing rounds to, 0..1440:
    /// unlike H3 and M3, a crossing in the day's last half minute is 1440.
    int minute = 0;
};

/// The fraction of the hour (0..1) at which the quadratic through the altitude
/// values at the start, middle and end of the hour crosses zero; nothing when
/// the discriminant is negative. With a quadratic coefficient of exactly 0 the
/// three values lie on a line and the root of that line is taken.
[[nodiscard]] std::optional<double> crossingFraction(double V0, double V1, double V2);

/// Rounds a crossing at fraction E of hour C0 to the minute: half a minute (in
/// single precision) is added and the time truncated; hour 24 shows as 0.
[[nodiscard]] CrossingTime clockOfCrossing(int C0, double E);

/// Runs the horizon test for hour C0 and moves the end values to the start
/// (A0 = A2, D0 = D2, V0 = V2). A crossing whose end value is exactly zero
/// reports Crossing::Neither.
CrossingTime testHour(HourTest& h, int C0);

}  // namespace moonbite
