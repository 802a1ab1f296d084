// The zones the tool follows by date. A named zone comes from CCTZ in a
// module opened only when one is named (loading the library at every start
// would cost a tenth of the tool's start-up); the computer's own zone comes
// from the C library, which reads the same database.
#pragma once

#include <memory>
#include <string>

#include "zone_rule.h"

namespace moonbite::cli {

/// A zone followed by date, with the name it was given ("" for the computer's).
class NamedZoneRule : public ZoneRule {
  public:
    [[nodiscard]] virtual const std::string& name() const = 0;
};

/// The zone of that name from the system's database, or null when it has
/// none. Throws std::runtime_error when the zone module cannot be loaded.
[[nodiscard]] std::shared_ptr<const NamedZoneRule> zoneNamed(const std::string& name);

/// The computer's zone (TZ, else /etc/localtime), by the C library.
[[nodiscard]] std::shared_ptr<const NamedZoneRule> computerZone();

/// Where the zone module is, for programs that are not the tool itself
/// (tests that run the tool's commands in their own process).
void setZoneModulePath(std::string path);

/// The zone module's table.
struct ZoneModule {
    int abiVersion;
    /// A new rule for the name, or null; released with release().
    NamedZoneRule* (*named)(const char* name);
    void (*release)(NamedZoneRule* rule);
};
inline constexpr int kZoneModuleAbi = 1;
inline constexpr const char* kZoneModuleName = "moonbite-cli-tz.so";
inline constexpr const char* kZoneModuleSymbol = "moonbite_cli_zone_module";

}  // namespace moonbite::cli
