#include "cctz_zone_rule.h"

#include <cctz/civil_time.h>

namespace moonbite::cli {

std::optional<CctzZoneRule> CctzZoneRule::named(const std::string& name) {
    // load_time_zone falls back to UTC for a name it does not know; only a
    // name the database holds is a zone ("UTC" itself included).
    cctz::time_zone zone;
    if (!isZoneDatabaseName(name) || !cctz::load_time_zone(name, &zone)) return std::nullopt;
    return CctzZoneRule(zone, name);
}

double CctzZoneRule::hoursOn(Date date) const {
    const YearMonthDay ymd = date.ymd();
    const cctz::civil_second noon(ymd.year, ymd.month, ymd.day, 12, 0, 0);
    // At noon no change is under way: the instant is unique.
    const auto instant = cctz::convert(noon, zone_);
    return zone_.lookup(instant).offset / 3600.0;
}

double CctzZoneRule::hoursAt(Instant t) const {
    const auto instant = std::chrono::time_point_cast<cctz::seconds>(
        std::chrono::system_clock::from_time_t(0) + cctz::seconds(t - kUnixEpochInstant));
    return zone_.lookup(instant).offset / 3600.0;
}

// The module's table: the tool opens it only when a zone is named.
namespace {

NamedZoneRule* namedRule(const char* name) {
    try {
        auto rule = CctzZoneRule::named(name);
        return rule ? new CctzZoneRule(std::move(*rule)) : nullptr;
    } catch (...) {  // nothing thrown crosses the module's edge
        return nullptr;
    }
}

void releaseRule(NamedZoneRule* rule) {
    delete rule;
}

const ZoneModule kZoneModule{kZoneModuleAbi, &namedRule, &releaseRule};

}  // namespace
}  // namespace moonbite::cli

extern "C" __attribute__((visibility("default"))) const moonbite::cli::ZoneModule*
moonbite_cli_zone_module() {
    return &moonbite::cli::kZoneModule;
}
