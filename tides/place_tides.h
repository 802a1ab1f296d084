// A place's tides by its own clock: which station they come from (the one the
// user picked for the place, else the nearest within reach), a day's highs,
// lows and curve, the tide's state at a moment in the journal's words, and the
// line every tide output says once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar_time.h"
#include "date.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace moonbite {
struct SolunarState;
}

namespace moonbite::tides {

/// The farthest a place may lie from the station whose tides it is given.
inline constexpr double kStationReachKm = 100;

/// What a place stores as its station: "" (or nothing) for the nearest,
/// this word for no tides at all, or a station's name.
inline constexpr std::string_view kNoStation = "none";

struct StationChoice {
    int index = -1;         ///< into TideDatabase::stations; -1: no tides here
    double distanceKm = 0;  ///< from the place to the station
    bool picked = false;    ///< the user's choice rather than the nearest
};

/// The station a place's tides come from. A stored name that the file no
/// longer has falls back to the nearest.
[[nodiscard]] StationChoice chooseStation(const TideDatabase& db, double latitude,
                                          double longitude, std::string_view stored);

/// The stations nearest a place, nearest first, at most count (any distance).
[[nodiscard]] std::vector<NearStation> nearestStations(const TideDatabase& db, double latitude,
                                                       double longitude, std::size_t count);

/// The station a stored name means, -1 when the file has none of that name.
[[nodiscard]] int stationNamed(const TideDatabase& db, std::string_view name);

struct TideSample {
    UnixSeconds time = 0;
    double metres = 0;
};

/// One clock day's tides at a station.
struct DayTides {
    UnixSeconds begin = 0;  ///< the day's midnight by the place's clock
    UnixSeconds end = 0;    ///< the next midnight (23 or 25 hours on a clock change)
    std::vector<TideEvent> events;  ///< the highs and lows within the day
    std::vector<int> minutes;       ///< each event's time of day by the clock, in minutes
    /// Every ten minutes from begin to end (end included).
    std::vector<TideSample> curve;
    /// A subordinate station has only its highs and lows: between them the
    /// curve is a half cosine drawn through them, not a prediction.
    bool interpolated = false;
};

/// The day's tides; empty when the file does not cover the day's years.
[[nodiscard]] DayTides dayTides(const TideDatabase& db, const TideStation& station,
                                const SolunarState& s, Date date);

/// The height on a day's curve at t (between its samples, along a straight line).
[[nodiscard]] double curveHeightAt(const DayTides& day, UnixSeconds t);

/// The tide at t in the journal's words: "Slack High" or "Slack Low" within
/// half an hour of a high or low, else "Rising 1/3" .. "Rising 3/3",
/// "Falling 1/3" .. "Falling 3/3" by the third of the way between them.
/// Empty outside the file's years.
[[nodiscard]] std::string tideState(const TideDatabase& db, const TideStation& station,
                                    UnixSeconds t);

/// "High 05:12 AM 1.83 m".
[[nodiscard]] std::string eventText(const TideEvent& e, int minute,
                                    const ClockDesignators& designators);

/// "9.8 km" (one decimal below 10 km, whole kilometres above).
[[nodiscard]] std::string distanceText(double km);

/// What every tide output says once: the source, its edition and that the
/// predictions are not for navigation.
[[nodiscard]] std::string honestyLine(const TideDatabase& db);

/// The harmonics file, read at the first question rather than at start-up.
class TideSource {
  public:
    /// path: the file to read; defaultHarmonicsPath() when empty.
    explicit TideSource(std::string path = {});
    /// A source that already holds its stations (tests, or a file read elsewhere).
    explicit TideSource(std::shared_ptr<const TideDatabase> db);

    /// The stations, or null when there is no harmonics file or it cannot be
    /// read (problem() then says why, once per source).
    [[nodiscard]] const TideDatabase* database();
    [[nodiscard]] const std::string& problem();

  private:
    void load();

    std::string path_;
    bool tried_ = false;
    std::shared_ptr<const TideDatabase> db_;
    std::string problem_;
};

}  // namespace moonbite::tides
