// A time zone whose offset changes with the date (daylight saving), for the
// places whose clocks follow one. The core asks it for each date it computes;
// a place without one keeps the single offset of its zone texts.
#pragma once

#include "date.h"

namespace moonbite {

struct SolunarState;

class ZoneRule {
  public:
    virtual ~ZoneRule() = default;
    /// Hours east of Greenwich that the clocks show at local noon of the date.
    [[nodiscard]] virtual double hoursOn(Date date) const = 0;
};

/// Sets the state's zone texts (timeZoneEntered and its negation) to the
/// rule's offset on the date; nothing when the state follows no rule.
void useZoneOf(SolunarState& s, Date date);

/// +1 when the clocks go forward during the date (its offset is larger than
/// the day before's), -1 when they go back, 0 otherwise or without a rule.
[[nodiscard]] int clockChangeOn(const SolunarState& s, Date date);

}  // namespace moonbite
