#include "cctz_zone_rule.h"

#include <cctz/civil_time.h>

namespace moonbite::cli {

std::optional<CctzZoneRule> CctzZoneRule::named(const std::string& name) {
    // load_time_zone falls back to UTC for a name it does not know; only a
    // name the database holds is a zone ("UTC" itself included).
    cctz::time_zone zone;
    if (name.empty() || name.find('\0') != std::string::npos || !cctz::load_time_zone(name, &zone))
        return std::nullopt;
    return CctzZoneRule(zone, name);
}

CctzZoneRule CctzZoneRule::local() {
    return CctzZoneRule(cctz::local_time_zone(), "");
}

double CctzZoneRule::hoursOn(Date date) const {
    const YearMonthDay ymd = date.ymd();
    const cctz::civil_second noon(ymd.year, ymd.month, ymd.day, 12, 0, 0);
    // At noon no change is under way: the instant is unique.
    const auto instant = cctz::convert(noon, zone_);
    return zone_.lookup(instant).offset / 3600.0;
}

}  // namespace moonbite::cli
