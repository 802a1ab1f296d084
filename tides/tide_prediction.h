// Tide heights, highs and lows by the classical harmonic method:
//   h(t) = Z0 + sum f_i(Y) A_i cos(w_i (t - t_Y) + (V0+u)_i(Y) - k_i)
// with t_Y the start of year Y in UTC, the year's node factors f and
// equilibrium arguments V0+u from the harmonics file, and the station's
// amplitudes A and UTC epochs k (C&GS Special Publication 98). Times are
// seconds since 1970-01-01 00:00 UTC; heights metres above the station's datum.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tide_database.h"

namespace moonbite::tides {

using UnixSeconds = std::int64_t;

/// A high or low water.
struct TideEvent {
    UnixSeconds time = 0;  ///< to the minute
    bool high = false;
    double heightMetres = 0;
};

/// The height at a reference station. Across New Year the two years'
/// constants are blended over a day, so the curve has no step. NaN where
/// predicts() is false.
[[nodiscard]] double heightAt(const TideDatabase& db, const TideStation& reference, UnixSeconds t);

/// The highs and lows from `from` (inclusive) to `to` (exclusive), in time
/// order. A subordinate station's are its reference station's, moved and
/// scaled by its offsets (the only curve such a station has). Empty unless
/// the span, widened by a step (and a day for a subordinate station), lies
/// where predicts() holds.
[[nodiscard]] std::vector<TideEvent> tideEvents(const TideDatabase& db, const TideStation& station,
                                                UnixSeconds from, UnixSeconds to);

/// Whether the water rises at t (a reference station's curve, or for a
/// subordinate station whether the next event is a high).
[[nodiscard]] bool rising(const TideDatabase& db, const TideStation& station, UnixSeconds t);

/// A station with its great-circle distance from a place.
struct NearStation {
    int index = -1;  ///< into TideDatabase::stations; -1 for none
    double distanceKm = 0;
};

/// The nearest station to a place within maxKm; index -1 when there is none
/// that near (a place inland or on another coast).
[[nodiscard]] NearStation nearestStation(const TideDatabase& db, double latitude,
                                         double longitude, double maxKm = 100);

/// Stations whose name contains every word of the query (case and accents of
/// ASCII letters ignored), or whose station number is the query; reference
/// stations first, then by name. At most limit.
[[nodiscard]] std::vector<int> findStations(const TideDatabase& db, const std::string& query,
                                            std::size_t limit = 20);

/// Great-circle distance in kilometres (mean Earth radius 6371.0 km).
[[nodiscard]] double distanceKm(double lat1, double lon1, double lat2, double lon2);

/// Whether heights can be told at t: within the file's years, or up to three
/// days beyond them (the edge year's constants carried on), so that the
/// first and last days of the file are whole in every zone.
[[nodiscard]] bool predicts(const TideDatabase& db, UnixSeconds t);

/// The UTC time of 0h on 1 January of a year.
[[nodiscard]] UnixSeconds yearStart(int year);
/// The UTC year a time falls in.
[[nodiscard]] int yearOf(UnixSeconds t);

}  // namespace moonbite::tides
