// The observer of the published worked examples: 33°52'S 151°13'E, Greenwich + 10 h.
#pragma once

#include "day_driver.h"

namespace moonbite::testing {

inline SolunarState stateAt(double lat, double lon, const char* zone, const char* negatedZone) {
    SolunarState s;
    s.latitude = lat;
    s.longitude = lon;
    s.timeZoneEntered = zone;
    s.timeZoneForComputations = negatedZone;
    s.plottedDayCount = 0;
    return s;
}

inline SolunarState sydney() {
    return stateAt(-(33 + 52 / 60.0), 151 + 13 / 60.0, "10", "-10");
}

inline Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d).value();
}

/// Moves the state's displayed date and computes the whole day, as the main
/// window does after a date change.
inline void showDay(SolunarState& s, Date d) {
    setDateControls(s, d);
    computeDisplayedDay(s);
}

}  // namespace moonbite::testing
