#include "place_tides.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "fixed_text.h"
#include "solunar_day.h"
#include "zone_rule.h"

namespace moonbite::tides {
namespace {

constexpr UnixSeconds kDay = 86400;
constexpr int kCurveStep = 600;
constexpr UnixSeconds kSlack = 30 * 60;

/// Unix seconds to the core's instants and back.
Instant instantOfUnix(UnixSeconds t) { return t + kUnixEpochInstant; }
UnixSeconds unixOf(Instant t) { return t - kUnixEpochInstant; }

}  // namespace

int stationNamed(const TideDatabase& db, std::string_view name) {
    if (name.empty()) return -1;
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        if (db.stations[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

std::vector<NearStation> nearestStations(const TideDatabase& db, double latitude,
                                         double longitude, std::size_t count) {
    std::vector<NearStation> all;
    all.reserve(db.stations.size());
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        const TideStation& s = db.stations[i];
        all.push_back({static_cast<int>(i), distanceKm(latitude, longitude, s.latitude, s.longitude)});
    }
    const std::size_t n = std::min(count, all.size());
    std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), all.end(),
                      [](const NearStation& a, const NearStation& b) {
                          return a.distanceKm < b.distanceKm ||
                                 (a.distanceKm == b.distanceKm && a.index < b.index);
                      });
    all.resize(n);
    return all;
}

StationChoice chooseStation(const TideDatabase& db, double latitude, double longitude,
                            std::string_view stored) {
    StationChoice c;
    if (stored == kNoStation) {
        c.picked = true;
        return c;
    }
    if (const int i = stationNamed(db, stored); i >= 0) {
        const TideStation& s = db.stations[static_cast<std::size_t>(i)];
        c.index = i;
        c.distanceKm = distanceKm(latitude, longitude, s.latitude, s.longitude);
        c.picked = true;
        return c;
    }
    const NearStation near = nearestStation(db, latitude, longitude, kStationReachKm);
    c.index = near.index;
    c.distanceKm = near.distanceKm;
    return c;
}

DayTides dayTides(const TideDatabase& db, const TideStation& station, const SolunarState& s,
                  Date date) {
    DayTides day;
    const ClockDay clock = clockDay(s, date);
    day.begin = unixOf(clock.begin);
    day.end = unixOf(clock.end);
    if (!predicts(db, day.begin - kDay) || !predicts(db, day.end + kDay)) return day;
    // A day either side, so the curve of a subordinate station runs from the
    // event before midnight to the one after.
    const std::vector<TideEvent> around = tideEvents(db, station, day.begin - kDay, day.end + kDay);
    for (const TideEvent& e : around) {
        if (e.time < day.begin || e.time >= day.end) continue;
        day.events.push_back(e);
        const Instant reading = clockReading(s, instantOfUnix(e.time));
        day.minutes.push_back(static_cast<int>((reading - instantOf(date)) / 60));
    }
    day.interpolated = !station.reference;
    for (UnixSeconds t = day.begin;; t += kCurveStep) {
        if (t > day.end) t = day.end;
        double h = 0;
        if (station.reference) {
            h = heightAt(db, station, t);
        } else {
            const auto next = std::find_if(around.begin(), around.end(),
                                           [t](const TideEvent& e) { return e.time > t; });
            if (next == around.begin() || next == around.end()) {
                h = std::nan("");
            } else {
                const TideEvent& a = *(next - 1);
                const TideEvent& b = *next;
                const double x = static_cast<double>(t - a.time) / static_cast<double>(b.time - a.time);
                h = a.heightMetres + (b.heightMetres - a.heightMetres) * (1 - std::cos(std::numbers::pi * x)) / 2;
            }
        }
        day.curve.push_back({t, h});
        if (t == day.end) break;
    }
    return day;
}

double curveHeightAt(const DayTides& day, UnixSeconds t) {
    if (day.curve.empty()) return std::nan("");
    if (t <= day.curve.front().time) return day.curve.front().metres;
    if (t >= day.curve.back().time) return day.curve.back().metres;
    const auto next = std::upper_bound(day.curve.begin(), day.curve.end(), t,
                                       [](UnixSeconds v, const TideSample& x) { return v < x.time; });
    const TideSample& a = *(next - 1);
    const TideSample& b = *next;
    const double x = static_cast<double>(t - a.time) / static_cast<double>(b.time - a.time);
    return a.metres + (b.metres - a.metres) * x;
}

std::string tideState(const TideDatabase& db, const TideStation& station, UnixSeconds t) {
    if (!predicts(db, t - kDay) || !predicts(db, t + kDay)) return {};
    const std::vector<TideEvent> around = tideEvents(db, station, t - kDay, t + kDay);
    const auto next = std::find_if(around.begin(), around.end(),
                                   [t](const TideEvent& e) { return e.time > t; });
    if (next == around.begin() || next == around.end()) return {};
    const TideEvent& before = *(next - 1);
    const TideEvent& after = *next;
    if (t - before.time <= kSlack) return before.high ? "Slack High" : "Slack Low";
    if (after.time - t <= kSlack) return after.high ? "Slack High" : "Slack Low";
    // The thirds are of the run between the two slack waters.
    const double run = static_cast<double>(after.time - before.time - 2 * kSlack);
    const double into = static_cast<double>(t - before.time - kSlack);
    const int third = std::clamp(static_cast<int>(std::floor(3 * into / run)) + 1, 1, 3);
    return std::string(after.high ? "Rising " : "Falling ") + std::to_string(third) + "/3";
}

std::string eventText(const TideEvent& e, int minute, const ClockDesignators& designators) {
    Text clock;
    formatClock(clock, minute, designators);
    char height[32];
    std::snprintf(height, sizeof height, "%.2f m", e.heightMetres);
    return std::string(e.high ? "High " : "Low ") + clock.str() + " " + height;
}

std::string distanceText(double km) {
    char text[32];
    if (km < 10)
        std::snprintf(text, sizeof text, "%.1f km", km);
    else
        std::snprintf(text, sizeof text, "%.0f km", km);
    return text;
}

std::string honestyLine(const TideDatabase& db) {
    const std::string edition = db.edition.size() >= 10 ? db.edition.substr(0, 10) : db.edition;
    return "Predicted from the station's harmonic constants (NOAA, public domain) in the "
           "harmonics file of " +
           edition + "; not for navigation.";
}

}  // namespace moonbite::tides
