// The tide stations for the commands that use them (tides, stations, ics
// --events tides): the harmonics file is read at the first call, never at the
// tool's start.
#pragma once

#include <optional>
#include <string>

#include "cli_shared.h"

#include "place_tides.h"
#include "tide_database.h"

namespace moonbite::cli {

/// MissingData when no harmonics file is installed or it cannot be read.
[[nodiscard]] const tides::TideDatabase& tideDatabase();

/// What every tide output says once: where the predictions come from (the
/// file's edition) and that they are not for navigation.
[[nodiscard]] std::string tideHonestyLine(const tides::TideDatabase& db);

/// The station a place keeps in the settings ("" nearest, "none", a name):
/// the current location's, or --location's; "" unless fromSettings (a place
/// given by coordinates or from the list of towns takes the nearest).
[[nodiscard]] std::string storedTideStation(const Place& p, bool fromSettings);

/// The day's tides for `day --json`: the station, datum, note and the day's
/// highs and lows by the state's clock; nothing when the place has no station
/// near (or keeps "none"), or no harmonics file can be read. Never throws for
/// a missing or damaged file: the day is told all the same.
[[nodiscard]] std::optional<Json> dayTidesJson(const SolunarState& s, Date date,
                                               const std::string& stored);

/// The farthest a place may lie from the station whose tides it is given.
inline constexpr double kTideStationReachKm = tides::kStationReachKm;

}  // namespace moonbite::cli
