// A time zone whose offset changes with the date (daylight saving), for the
// places whose clocks follow one. The core asks it for each date it computes;
// a place without one keeps the single offset of its zone texts.
//
// On the days the clocks change, a day runs from its midnight to the next by
// the clock (23 or 25 hours, or 23.5 for a half-hour shift), and every event is
// shown in the offset in force at its own instant.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "date.h"

namespace moonbite {

struct SolunarState;

/// An instant: whole seconds of Universal Time from midnight of the zero date.
using Instant = std::int64_t;
/// A box that holds no time has no instant.
inline constexpr Instant kNoInstant = std::numeric_limits<Instant>::min();
inline constexpr Instant kSecondsPerDay = 86400;

/// Midnight (UT) starting a date, as an instant.
[[nodiscard]] constexpr Instant instantOf(Date d) {
    return static_cast<Instant>(d.serial()) * kSecondsPerDay;
}

/// Seconds from the zero date's midnight to 1970-01-01 00:00 UT.
inline constexpr Instant kUnixEpochInstant = Instant{25569} * kSecondsPerDay;

/// Whole seconds east of Greenwich of an offset in hours.
[[nodiscard]] inline Instant zoneSeconds(double hours) {
    return static_cast<Instant>(std::llround(hours * 3600));
}

/// Whether a zone name may be looked up: a name of the zone database's form
/// ("Australia/Sydney", "UTC", "Etc/GMT+5"), never a path (no leading "/", no
/// "." or ".." part, nothing but letters, digits and "/_+-").
[[nodiscard]] inline bool isZoneDatabaseName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name.front() == '/' || name.back() == '/')
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t slash = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, slash - start);
        if (part.empty() || part == "." || part == ".." || part.front() == '.') return false;
        for (const char c : part) {
            const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '_' || c == '+' || c == '-';
            if (!ok) return false;
        }
        start = slash + 1;
    }
    return true;
}

class ZoneRule {
  public:
    ZoneRule();
    virtual ~ZoneRule() = default;
    ZoneRule(const ZoneRule&);
    ZoneRule& operator=(const ZoneRule&);
    /// Hours east of Greenwich that the clocks show at local noon of the date.
    [[nodiscard]] virtual double hoursOn(Date date) const = 0;
    /// Hours east of Greenwich that the clocks show at an instant.
    [[nodiscard]] virtual double hoursAt(Instant t) const = 0;
    /// Tells this rule from any other, even one made later at the same address
    /// (the phase table remembers which rule it was built with).
    [[nodiscard]] std::uint64_t id() const { return id_; }

  private:
    std::uint64_t id_;
};

/// Sets the state's zone texts (timeZoneEntered and its negation) to the
/// rule's offset on the date; nothing when the state follows no rule.
void useZoneOf(SolunarState& s, Date date);

/// +1 when the clocks go forward during the date (its offset is larger than
/// the day before's), -1 when they go back, 0 otherwise or without a rule.
[[nodiscard]] int clockChangeOn(const SolunarState& s, Date date);

/// Hours east of Greenwich at an instant: the rule's, or without one the fixed
/// zone the procedures compute with (the negation of timeZoneForComputations).
[[nodiscard]] double hoursAt(const SolunarState& s, Instant t);

/// The offsets (hours east) that may be in force during a date: those at
/// noon of the day before, the day and the day after, each once. One offset
/// (the state's own without a rule) on every day the clocks keep.
struct DayOffsets {
    std::array<double, 3> hours{};
    int count = 0;
};
[[nodiscard]] DayOffsets offsetsDuring(const SolunarState& s, Date date);

/// The clock reading of an instant (seconds from the zero date's midnight, by
/// the clock) with the offset then in force.
[[nodiscard]] Instant clockReading(const SolunarState& s, Instant t);

/// Where a date begins and ends by the clock, as instants (end - begin is 24
/// hours except on the days the clocks change).
struct ClockDay {
    Instant begin = 0;
    Instant end = 0;
};
[[nodiscard]] ClockDay clockDay(const SolunarState& s, Date date);

}  // namespace moonbite
