// What the tool's commands share: numbers, dates and places read from the
// command line and the stored settings, and the day's and month's outputs.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli_common.h"
#include "coordinate_text.h"
#include "date.h"
#include "gazetteer.h"
#include "month_calendar.h"
#include "solunar_day.h"
#include "zone_rules.h"

namespace CLI {
class App;
}

namespace moonbite::cli {

/// A whole number given as decimal digits within lo..hi; InputError otherwise.
[[nodiscard]] int requireWhole(const std::string& text, const char* option, int lo, int hi);

/// "2027-01-20"
[[nodiscard]] std::string isoDate(Date d);

/// A date option "YYYY-MM-DD" within 1901..2200; InputError otherwise.
[[nodiscard]] Date requireDate(const std::string& text, const char* option);

/// The location every command shares: its options as given, then the place
/// they name once validatePlace has read them.
struct Place {
    std::string latText;
    std::string lonText;
    std::optional<std::string> tzOption;
    std::optional<std::string> tzName;  ///< --tz-name
    std::string location;
    std::string placeName;  ///< --place, a town of the list of places
    std::string settingsDir;
    /// "Key West, Florida, United States" when the place came from the list.
    std::string placeLabel;
    double tz = 0;  ///< the zone's offset today when it follows a rule
    double lat = 0;
    double lon = 0;
    /// The zone followed by date: --tz-name, the stored "tzname", or the
    /// computer's zone when the stored place follows it.
    std::shared_ptr<const NamedZoneRule> rule;
};

/// Adds --lat, --lon, --tz and --tz-name (withCoordinates), --location,
/// --place and --settings-dir.
void addPlaceOptions(CLI::App* cmd, Place& p, bool withCoordinates);

/// Reads the place from the options or the stored settings; today gives the
/// offset printed for a zone followed by date. InputError for bad input.
void validatePlace(Place& p, bool withCoordinates, Date today);

/// The list of places, read from its file at the first call (never at the
/// tool's start). MissingData when it is not installed or is damaged.
[[nodiscard]] const places::Gazetteer& placeList();

/// "Key West, Florida, United States" (the region left out when unnamed).
[[nodiscard]] std::string placeLabel(const places::Gazetteer& list,
                                     const places::PlaceRecord& town);

/// "; did you mean "A" or "B"" for a name that matched nothing, or "" when
/// nothing is near.
[[nodiscard]] std::string nearNames(const places::Gazetteer& list, std::string_view name);

/// Decimal degrees rounded to the whole minute, as the settings frame keeps them.
[[nodiscard]] double wholeMinutes(double degrees, places::Axis axis);

/// The zone name a Qt command follows: the rule's, the computer's, or none.
[[nodiscard]] std::string zoneNameFor(const Place& p);

/// A state for the place, its rule included (the place must outlive it).
[[nodiscard]] SolunarState makeState(const Place& p, Date today);

/// The day as the main window computes it, with graphDays rows of the graph.
void computeDay(SolunarState& s, Date date, int graphDays);

/// The day's JSON object (with its graph when asked).
[[nodiscard]] Json dayJson(const SolunarState& s, Date date, bool withGraph);

/// The day as aligned text.
void printDayText(std::ostream& out, const SolunarState& s, const Place& p);

/// The keys of a day that `range --csv` writes, in order.
[[nodiscard]] const std::vector<std::string>& rangeColumns();

/// A month's cells as JSON and as text.
[[nodiscard]] Json monthJson(int year, int month, int firstWeekday,
                             const std::vector<MonthCell>& cells);
void printMonthText(std::ostream& out, int year, int month, const Place& p,
                    const std::vector<MonthCell>& cells);

/// The printed calendar's options as last printed in Moonbite, and as
/// given in --options.
[[nodiscard]] MonthCellOptions storedCalendarOptions(const std::string& settingsDir);
[[nodiscard]] MonthCellOptions calendarOptions(const std::string& list);

}  // namespace moonbite::cli
