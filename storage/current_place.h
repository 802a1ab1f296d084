// The stored current location as every window computes with it: its
// coordinates and zone, checked and defaulted, and the zone it follows by
// date when its clocks change with daylight saving.
#pragma once

#include <QByteArray>
#include <QTimeZone>
#include <memory>
#include <unordered_map>

#include "settings_store.h"
#include "solunar_day.h"
#include "zone_rule.h"

namespace moonbite {

/// A QTimeZone followed by date.
class QtZoneRule final : public ZoneRule {
  public:
    explicit QtZoneRule(QTimeZone zone);
    [[nodiscard]] double hoursOn(Date date) const override;
    [[nodiscard]] double hoursAt(Instant t) const override;
    [[nodiscard]] const QTimeZone& zone() const { return zone_; }

  private:
    QTimeZone zone_;
    // A graph or a month asks for the same days again and again.
    mutable std::unordered_map<std::int32_t, double> known_;
};

struct CurrentPlace {
    double latitude = 0;   ///< decimal degrees, north positive
    double longitude = 0;  ///< decimal degrees, east positive
    double zone = 13;      ///< "gmt" as stored: hours east of Greenwich (today's offset)
    /// The zone the computations follow by date; null for one fixed offset.
    std::shared_ptr<const QtZoneRule> rule;
};

/// Reads the current location from the state application's [Settings]. A
/// number outside its range (or not a number) takes its default. The zone is
/// followed by date when the place names one ("tzname", a valid IANA name), or
/// when the zone follows the computer ("custom" False) with "Auto Daylight
/// Savings Adjust" checked ("daylight" 1): then systemZone, the computer's zone.
[[nodiscard]] CurrentPlace readCurrentPlace(const SettingsStore& store,
                                            const QTimeZone& systemZone);

/// Puts the place into the state: latitude, longitude, the zone texts and
/// the rule (the state points into place, which must outlive its use).
void applyPlace(const CurrentPlace& place, SolunarState& state);

/// Whether a name is a zone of the system's database ("Australia/Sydney").
[[nodiscard]] bool isKnownZoneName(const QString& name);

}  // namespace moonbite
