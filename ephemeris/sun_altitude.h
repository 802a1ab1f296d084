// Where the Sun stands in the sky at an instant, for pictures that shade a day
// by daylight and twilight. The rise/set method only answers "when does it
// cross the horizon"; this answers "how high is it now", also on the days it
// never crosses.
#pragma once

#include "zone_rule.h"

namespace moonbite {

/// The Sun's geometric altitude (no refraction), degrees, seen from latitude
/// (north +) and longitude (east +) at instant t. A sunrise or sunset as the
/// almanacs give it lies at -0.833 degrees. Good to about 0.01 degrees
/// between 1950 and 2050 and a little worse over the program's years.
[[nodiscard]] double sunAltitudeDegrees(double latitude, double longitude, Instant t);

/// The Sun's declination, degrees north, at instant t.
[[nodiscard]] double sunDeclinationDegrees(Instant t);

}  // namespace moonbite
