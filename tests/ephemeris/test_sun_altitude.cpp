// The Sun's altitude against the core's own sunrise and sunset, the noon
// height that the declination gives, and a day when the Sun stays down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sun_altitude.h"
#include "sydney.h"

namespace moonbite {
namespace {

using testing::stateAt;
using testing::ymd;

// The almanacs' rise and set: the Sun's centre 50' below the horizon
// (refraction 34' and the semidiameter 16').
constexpr double kRiseSetAltitude = -0.833;

struct Place {
    const char* name;
    double lat;
    double lon;
    const char* zone;
    const char* negated;
};

constexpr Place kPlaces[] = {
    {"Sydney", -(33 + 52 / 60.0), 151 + 13 / 60.0, "10", "-10"},
    {"Friday Harbor", 48.5453, -123.0125, "-8", "8"},
    {"Quito", -0.22, -78.51, "-5", "5"},
    {"Reykjavik", 64.15, -21.94, "0", "0"},
    {"Cape Town", -33.92, 18.42, "2", "-2"},
};

TEST(SunAltitude, CoreSunriseAndSunsetLieAtTheAlmanacAltitude) {
    int checked = 0;
    for (const Place& p : kPlaces) {
        for (const Date d : {ymd(2000, 1, 21), ymd(2003, 3, 20), ymd(2011, 6, 21), ymd(2026, 9, 23),
                             ymd(2026, 12, 9), ymd(2049, 11, 2)}) {
            SolunarState s = stateAt(p.lat, p.lon, p.zone, p.negated);
            testing::showDay(s, d);
            ASSERT_NE(s.Text2At, kNoInstant) << p.name << " " << s.Text2.view();
            ASSERT_NE(s.Text32At, kNoInstant) << p.name << " " << s.Text32.view();
            EXPECT_NEAR(sunAltitudeDegrees(p.lat, p.lon, s.Text2At), kRiseSetAltitude, 0.3)
                << p.name << " sunrise " << s.Text2.view() << " on " << d.ymd().year << "-"
                << d.ymd().month << "-" << d.ymd().day;
            EXPECT_NEAR(sunAltitudeDegrees(p.lat, p.lon, s.Text32At), kRiseSetAltitude, 0.3)
                << p.name << " sunset " << s.Text32.view() << " on " << d.ymd().year << "-"
                << d.ymd().month << "-" << d.ymd().day;
            // Rising at the rise, setting at the set: not a point on the wrong side of noon.
            EXPECT_LT(sunAltitudeDegrees(p.lat, p.lon, s.Text2At - 600),
                      sunAltitudeDegrees(p.lat, p.lon, s.Text2At + 600))
                << p.name;
            EXPECT_GT(sunAltitudeDegrees(p.lat, p.lon, s.Text32At - 600),
                      sunAltitudeDegrees(p.lat, p.lon, s.Text32At + 600))
                << p.name;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 30);
}

// The highest the Sun stands during a UT day, found minute by minute.
double highestAltitude(double lat, double lon, Date d) {
    double best = -90;
    for (Instant t = instantOf(d); t < instantOf(d + 1); t += 60)
        best = std::max(best, sunAltitudeDegrees(lat, lon, t));
    return best;
}

TEST(SunAltitude, NoonHeightIsNinetyLessTheDistanceFromTheDeclination) {
    // March equinox 2000: 20 March 07:35 UT, declination 0. At 68.2 E the Sun
    // culminates then (noon at 12:07 UT less 68.2/15 hours).
    EXPECT_NEAR(highestAltitude(30.0, 68.2, ymd(2000, 3, 20)), 90 - 30.0, 0.2);
    EXPECT_NEAR(highestAltitude(-45.0, 68.2, ymd(2000, 3, 20)), 90 - 45.0, 0.2);
    // June solstice 2000: 21 June 01:48 UT, declination +23.439 (it hardly
    // moves for days around the solstice).
    constexpr double kSolstice = 23.439;
    EXPECT_NEAR(highestAltitude(51.48, 0.0, ymd(2000, 6, 21)), 90 - std::fabs(51.48 - kSolstice),
                0.2);
    EXPECT_NEAR(highestAltitude(-33.87, 151.21, ymd(2000, 6, 21)),
                90 - std::fabs(-33.87 - kSolstice), 0.2);
    // In the tropic north of the declination the Sun culminates in the south.
    EXPECT_NEAR(highestAltitude(10.0, -60.0, ymd(2000, 6, 21)), 90 - std::fabs(10.0 - kSolstice),
                0.2);
    // The declination itself at those instants.
    EXPECT_NEAR(sunDeclinationDegrees(instantOf(ymd(2000, 3, 20)) + 7 * 3600 + 35 * 60), 0.0, 0.02);
    EXPECT_NEAR(sunDeclinationDegrees(instantOf(ymd(2000, 6, 21)) + 1 * 3600 + 48 * 60), kSolstice,
                0.02);
    EXPECT_NEAR(sunDeclinationDegrees(instantOf(ymd(2000, 12, 21)) + 13 * 3600 + 37 * 60),
                -kSolstice, 0.02);
}

TEST(SunAltitude, PolarNightNeverRisesAboveTheHorizon) {
    constexpr double lat = 69.65;
    constexpr double lon = 18.96;
    for (const Date d : {ymd(2026, 12, 5), ymd(2026, 12, 21), ymd(2026, 12, 31)}) {
        const double highest = highestAltitude(lat, lon, d);
        EXPECT_LT(highest, 0.0) << d.ymd().day;
        // Twilight, though: at noon the Sun is only a few degrees down.
        EXPECT_GT(highest, -6.0) << d.ymd().day;
        // The core agrees that it does not rise.
        SolunarState s = stateAt(lat, lon, "1", "-1");
        testing::showDay(s, d);
        EXPECT_EQ(s.Text2At, kNoInstant) << s.Text2.view();
        EXPECT_EQ(s.Text32At, kNoInstant) << s.Text32.view();
    }
    // And at the solstice the noon height is the declination's: 90 - (69.65 + 23.44).
    EXPECT_NEAR(highestAltitude(lat, lon, ymd(2026, 12, 21)), 90 - (lat + 23.44), 0.2);
}

TEST(SunAltitude, MidnightSunStaysAboveTheHorizon) {
    // Tromso in late June: the lowest point, at local midnight, is still above.
    double lowest = 90;
    const Date d = ymd(2026, 6, 21);
    for (Instant t = instantOf(d); t < instantOf(d + 1); t += 60)
        lowest = std::min(lowest, sunAltitudeDegrees(69.65, 18.96, t));
    EXPECT_GT(lowest, 0.0);
    EXPECT_NEAR(lowest, (69.65 + 23.44) - 90, 0.2);
}

}  // namespace
}  // namespace moonbite
