#include "zone_rule.h"

#include "solunar_day.h"

namespace moonbite {

void useZoneOf(SolunarState& s, Date date) {
    if (s.zoneRule == nullptr) return;
    const double hours = s.zoneRule->hoursOn(date);
    if (Val(s.timeZoneEntered) == hours && Val(s.timeZoneForComputations) == -hours) return;
    numberText(s.timeZoneEntered, hours);
    numberText(s.timeZoneForComputations, -hours);
}

int clockChangeOn(const SolunarState& s, Date date) {
    if (s.zoneRule == nullptr) return 0;
    const double today = s.zoneRule->hoursOn(date);
    const double before = s.zoneRule->hoursOn(date - 1);
    if (today > before) return 1;
    if (today < before) return -1;
    return 0;
}

}  // namespace moonbite
