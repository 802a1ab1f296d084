// `moonbite-cli ics`: the fishing times of a run of days as an iCalendar file.
// The days are computed here; the file is written by a module that the tool
// opens only for this command, because libical brings ICU, whose loading
// would slow down the start of every other command.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "date.h"
#include "ics_export.h"
#include "qt_commands.h"
#include "solunar_day.h"

namespace CLI {
class App;
}

namespace moonbite::cli {

/// The command's own options, as given.
struct IcsArguments {
    std::string from;  ///< empty: today
    std::string days = "30";
    std::string output;  ///< empty or "-": standard output
    std::string events = "majors,minors,phases";
    std::string minRating;  ///< empty: every day
};

/// Adds --from, --days, --output, --events and --min-rating to the command.
void addIcsOptions(CLI::App* command, IcsArguments& arguments);

/// What the module needs to make the file.
struct IcsRequest {
    SolunarState fresh;  ///< the place and zone, nothing computed yet
    IcsRange range;      ///< all but the place key, which the module makes
    double latitude = 0;
    double longitude = 0;
    std::int64_t stampUtc = 0;
    std::function<void(SolunarState&, Date)> computeDay;
};

/// Takes the calendar's text piece by piece; false stops the writing.
using IcsWrite = bool (*)(void* context, const char* data, std::size_t size);

/// The module's table. Nothing thrown crosses it.
struct IcsModule {
    int abiVersion;
    /// Writes the calendar one day at a time through write, so that years of
    /// events never sit in memory; a stop by write is not an error here.
    CommandResult (*writeCalendar)(const IcsRequest& request, IcsWrite write, void* context);
};
inline constexpr int kIcsModuleAbi = 3;
inline constexpr const char* kIcsModuleName = "moonbite-cli-ics.so";
inline constexpr const char* kIcsModuleSymbol = "moonbite_cli_ics_module";

/// Runs the command for a place (decimal degrees, north and east positive)
/// whose zone is already in fresh. computeDay puts a date into a state and
/// computes it as `day` does. Throws InputError for bad options; the result
/// carries a failure to load the module or to write the file.
[[nodiscard]] CommandResult runIcs(const IcsArguments& arguments, const SolunarState& fresh,
                                   double latitude, double longitude, Date today,
                                   const std::function<void(SolunarState&, Date)>& computeDay,
                                   std::ostream& out);

}  // namespace moonbite::cli
