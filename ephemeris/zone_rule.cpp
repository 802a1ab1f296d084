#include "zone_rule.h"

#include <atomic>

#include "solunar_day.h"

namespace moonbite {
namespace {

std::uint64_t nextRuleId() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

// The first instant at which the clock reads the date's 00:00 or later.
Instant clockMidnight(const SolunarState& s, Date date, const DayOffsets& offsets) {
    const Instant midnight = instantOf(date);
    Instant begin = kNoInstant;
    Instant latest = kNoInstant;
    for (int i = 0; i < offsets.count; ++i) {
        const Instant zone = zoneSeconds(offsets.hours[static_cast<std::size_t>(i)]);
        const Instant t = midnight - zone;
        latest = std::max(latest, t);
        if (zoneSeconds(hoursAt(s, t)) != zone) continue;
        if (begin == kNoInstant || t < begin) begin = t;
    }
    // The clocks jump over midnight: the day begins with the jump.
    return begin != kNoInstant ? begin : latest;
}

}  // namespace

ZoneRule::ZoneRule() : id_(nextRuleId()) {}
ZoneRule::ZoneRule(const ZoneRule&) : id_(nextRuleId()) {}
ZoneRule& ZoneRule::operator=(const ZoneRule&) {
    id_ = nextRuleId();
    return *this;
}

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

double hoursAt(const SolunarState& s, Instant t) {
    if (s.zoneRule == nullptr) return -Val(s.timeZoneForComputations);
    return s.zoneRule->hoursAt(t);
}

DayOffsets offsetsDuring(const SolunarState& s, Date date) {
    DayOffsets o;
    if (s.zoneRule == nullptr) {
        o.hours[0] = -Val(s.timeZoneForComputations);
        o.count = 1;
        return o;
    }
    for (const Date d : {date, date - 1, date + 1}) {
        const double h = s.zoneRule->hoursOn(d);
        bool known = false;
        for (int i = 0; i < o.count; ++i)
            known = known || o.hours[static_cast<std::size_t>(i)] == h;
        if (!known) o.hours[static_cast<std::size_t>(o.count++)] = h;
    }
    return o;
}

Instant clockReading(const SolunarState& s, Instant t) {
    return t + zoneSeconds(hoursAt(s, t));
}

ClockDay clockDay(const SolunarState& s, Date date) {
    ClockDay day;
    day.begin = clockMidnight(s, date, offsetsDuring(s, date));
    day.end = clockMidnight(s, date + 1, offsetsDuring(s, date + 1));
    return day;
}

}  // namespace moonbite
