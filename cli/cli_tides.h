// The tide stations for the commands that use them (tides, stations, ics
// --events tides): the harmonics file is read at the first call, never at the
// tool's start.
#pragma once

#include <string>

#include "place_tides.h"
#include "tide_database.h"

namespace moonbite::cli {

/// MissingData when no harmonics file is installed or it cannot be read.
[[nodiscard]] const tides::TideDatabase& tideDatabase();

/// What every tide output says once: where the predictions come from (the
/// file's edition) and that they are not for navigation.
[[nodiscard]] std::string tideHonestyLine(const tides::TideDatabase& db);

/// The farthest a place may lie from the station whose tides it is given.
inline constexpr double kTideStationReachKm = tides::kStationReachKm;

}  // namespace moonbite::cli
