// A zone of the system's time-zone database followed by date, without Qt
// (CCTZ reads the same zone files QTimeZone does).
#pragma once

#include <cctz/time_zone.h>
#include <optional>
#include <string>

#include "zone_rules.h"

namespace moonbite::cli {

class CctzZoneRule final : public NamedZoneRule {
  public:
    /// The zone of that name ("Australia/Sydney"), or nothing when the
    /// database has none.
    [[nodiscard]] static std::optional<CctzZoneRule> named(const std::string& name);

    [[nodiscard]] double hoursOn(Date date) const override;
    [[nodiscard]] double hoursAt(Instant t) const override;
    [[nodiscard]] const std::string& name() const override { return name_; }

  private:
    CctzZoneRule(cctz::time_zone zone, std::string name) : zone_(zone), name_(std::move(name)) {}
    cctz::time_zone zone_;
    std::string name_;
};

}  // namespace moonbite::cli
