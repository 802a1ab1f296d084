// The low-precision solar coordinates of the Astronomical Almanac: mean
// longitude and anomaly, the ecliptic longitude with the two largest terms of
// the equation of centre, the obliquity, then the hour angle from Greenwich
// mean sidereal time.
#include "sun_altitude.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace moonbite {
namespace {

constexpr double kDegree = std::numbers::pi / 180;
// The zero date's midnight (30 December 1899, 0h UT) as a Julian date.
constexpr double kZeroDateJulian = 2415018.5;
constexpr double kJ2000 = 2451545.0;

struct SunPlace {
    double rightAscension = 0;  // radians
    double declination = 0;     // radians
};

// Days from J2000.0 (1 January 2000, 12h) to t; the seconds stay exact in
// the division, so no precision is lost to a large Julian date.
double daysFromJ2000(Instant t) {
    return static_cast<double>(t) / kSecondsPerDay + (kZeroDateJulian - kJ2000);
}

SunPlace sunAt(double n) {
    const double meanLongitude = 280.460 + 0.9856474 * n;
    const double meanAnomaly = (357.528 + 0.9856003 * n) * kDegree;
    const double lambda =
        (meanLongitude + 1.915 * std::sin(meanAnomaly) + 0.020 * std::sin(2 * meanAnomaly)) *
        kDegree;
    const double obliquity = (23.439 - 0.0000004 * n) * kDegree;
    SunPlace p;
    p.rightAscension = std::atan2(std::cos(obliquity) * std::sin(lambda), std::cos(lambda));
    p.declination = std::asin(std::sin(obliquity) * std::sin(lambda));
    return p;
}

}  // namespace

double sunDeclinationDegrees(Instant t) {
    return sunAt(daysFromJ2000(t)).declination / kDegree;
}

double sunAltitudeDegrees(double latitude, double longitude, Instant t) {
    const double n = daysFromJ2000(t);
    const SunPlace p = sunAt(n);
    // Greenwich mean sidereal time in degrees; only its angle modulo a turn matters.
    const double gmst = std::fmod(280.46061837 + 360.98564736629 * n, 360.0);
    const double hourAngle = (gmst + longitude) * kDegree - p.rightAscension;
    const double phi = latitude * kDegree;
    const double sinAltitude = std::sin(phi) * std::sin(p.declination) +
                               std::cos(phi) * std::cos(p.declination) * std::cos(hourAngle);
    return std::asin(std::clamp(sinAltitude, -1.0, 1.0)) / kDegree;
}

}  // namespace moonbite
