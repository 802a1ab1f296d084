// Fishing times as an iCalendar file (RFC 5545) that calendar programs
// import: the periods, new and full moons, sunrise and sunset, and the day's
// rating, each at its time in UTC with a UID that stays the same from run to
// run, so a second import updates the events instead of adding them again.
// Plain C++ and libical; the header itself needs neither Qt nor libical.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "solunar_day.h"

namespace moonbite {

/// What an event stands for. The order is the order of a day's events in the file.
enum class IcsKind {
    Rating,      ///< all-day: "Fishing: Good"
    Sunrise,     ///< zero length
    Sunset,      ///< zero length
    MajorAbove,  ///< two hours, the Moon overhead at the middle
    MajorBelow,  ///< two hours, the Moon underfoot at the middle
    MinorRise,   ///< two hours, moonrise at the middle
    MinorSet,    ///< two hours, moonset at the middle
    NewMoon,     ///< zero length
    FullMoon,    ///< zero length
    HighWater,   ///< zero length, at the nearest tide station
    LowWater,    ///< zero length, at the nearest tide station
};

/// Which kinds of event to write.
struct IcsEventSet {
    bool majors = true;
    bool minors = true;
    bool phases = true;
    bool sun = false;
    bool rating = false;
    bool tides = false;
};

/// A high or low water of a day, for the calendar: when (seconds since
/// 1970-01-01 UTC), which, and its height in metres above the datum.
struct IcsTide {
    std::int64_t startUtc = 0;
    bool high = false;
    double metres = 0;
};

/// One event. Timed events start at startUtc (seconds since 1970-01-01 UTC)
/// and last durationSeconds (0: an instant); an all-day event covers date.
struct IcsEvent {
    IcsKind kind = IcsKind::Rating;
    Date date;  ///< the local day the event belongs to
    bool allDay = false;
    std::int64_t startUtc = 0;
    int durationSeconds = 0;
    std::string uid;
    std::string summary;
    std::string description;
    std::string category;
};

/// The calendar's own properties.
struct IcsCalendar {
    std::string name = "Moonbite fishing times";  ///< shown by programs that read X-WR-CALNAME
    std::int64_t stampUtc = 0;  ///< DTSTAMP of every event: when the file was made
    std::vector<IcsEvent> events;
};

/// A clock text of the day ("07:13 PM" with the state's designators) as the
/// minute of the day, 0..1439; nothing for a blank box, "Can't Calc", "No
/// moonrise" and every other text that is not a time.
[[nodiscard]] std::optional<int> clockMinuteOfDay(std::string_view text,
                                                  const ClockDesignators& designators);

/// The place part of every UID: the latitude and longitude in whole minutes
/// of arc with their hemispheres ("3352S15113E"). Coordinates entered in
/// degrees and minutes or as decimals of the same spot give the same key.
[[nodiscard]] std::string icsPlaceKey(double latitude, double longitude);

/// Appends the events of one computed day: the state holds the day as the
/// main window shows it (its boxes, phase caption, prediction and the zone it
/// was computed with). A box that does not hold a time gives no event.
void appendDayEvents(const SolunarState& s, Date date, const IcsEventSet& kinds,
                     std::string_view placeKey, std::vector<IcsEvent>& out);

/// What to export over a run of days.
struct IcsRange {
    Date from;
    int days = 0;
    IcsEventSet kinds;
    int minScore = 0;  ///< only days whose prediction score is at least this (0, 33, 66, 100)
    std::string placeKey;
    /// With kinds.tides: the highs and lows of a local day, and what every
    /// tide event's description ends with (the station, the datum, that it is
    /// no navigation aid).
    std::function<std::vector<IcsTide>(const SolunarState&, Date)> tidesOf;
    std::string tideNote;
};

/// Appends a day's tide events (kinds.tides), each at its minute.
void appendTideEvents(const SolunarState& s, Date date, const IcsRange& range,
                      std::vector<IcsEvent>& out);

/// Computes each day on a copy of fresh (so it reads as that day alone) with
/// computeDay and collects the events of the days rated at least minScore.
/// computeDay sets the date into the state and runs the day computation; the
/// zone each day's texts are in is read from the state afterwards.
[[nodiscard]] std::vector<IcsEvent> rangeEvents(
    const SolunarState& fresh, const IcsRange& range,
    const std::function<void(SolunarState&, Date)>& computeDay);

/// The calendar as iCalendar text, written with libical: VERSION 2.0, a
/// PRODID, times in UTC, lines folded at 75 octets and ended by CR LF.
/// Throws std::runtime_error when libical fails.
[[nodiscard]] std::string icsText(const IcsCalendar& calendar);

/// Receives the text of a calendar piece by piece; false stops the writing.
using IcsSink = std::function<bool(std::string_view text)>;

/// The same text as icsText over the days of range, made and handed to sink
/// one day at a time, so a calendar of years never sits in memory whole
/// (calendar gives the name and stamp; its events are not used). False when
/// the sink stopped it. Throws std::runtime_error when libical fails.
bool writeRangeIcs(const IcsCalendar& calendar, const SolunarState& fresh, const IcsRange& range,
                   const std::function<void(SolunarState&, Date)>& computeDay, const IcsSink& sink);

/// The name a saved calendar gets by default: "Moonbite June 2027.ics".
[[nodiscard]] std::string defaultIcsFileName(int year, int month);

}  // namespace moonbite
