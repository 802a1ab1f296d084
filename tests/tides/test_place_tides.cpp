// A place's tides by its clock: the day's span, events and curve, the
// journal's words for the state of the tide, and which station a place uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "place_tides.h"
#include "station_index.h"
#include "solunar_day.h"
#include "zone_rule.h"

namespace moonbite::tides {
namespace {

const TideDatabase& database() {
    static const LoadResult loaded = loadTideDatabase(defaultHarmonicsPath());
    if (!loaded.database) {
        ADD_FAILURE() << "no harmonics file: " << loaded.error;
        std::abort();
    }
    return *loaded.database;
}

int stationWithId(const std::string& id, bool reference) {
    const auto& all = database().stations;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].id == id && all[i].reference == reference) return static_cast<int>(i);
    ADD_FAILURE() << "no station " << id;
    std::abort();
}

const TideStation& station(int index) { return database().stations[static_cast<std::size_t>(index)]; }

UnixSeconds utc(int y, int m, int d, int h = 0, int mi = 0) {
    const Date date = Date::fromYmd(y, m, d).value();
    return instantOf(date) - kUnixEpochInstant + h * 3600LL + mi * 60LL;
}

/// US Pacific time of 2026: -7 h from 8 March 10:00 UTC to 1 November 09:00 UTC.
class Pacific2026 final : public ZoneRule {
  public:
    [[nodiscard]] double hoursOn(Date d) const override {
        return hoursAt(instantOf(d) + 20 * 3600);
    }
    [[nodiscard]] double hoursAt(Instant t) const override {
        const Instant u = t - kUnixEpochInstant;
        return u >= utc(2026, 3, 8, 10) && u < utc(2026, 11, 1, 9) ? -7 : -8;
    }
};

SolunarState placeState(const ZoneRule* rule, const char* zone = "-8", const char* negated = "8") {
    SolunarState s;
    s.latitude = 48.5453;
    s.longitude = -123.0125;
    s.timeZoneEntered = zone;
    s.timeZoneForComputations = negated;
    s.zoneRule = rule;
    return s;
}

TEST(DayTides, ADayByThePlacesClockWithItsEventsAndCurve) {
    const Pacific2026 rule;
    const SolunarState s = placeState(&rule);
    const TideStation& fh = station(stationWithId("9449880", true));
    const Date date = Date::fromYmd(2026, 7, 15).value();
    const DayTides day = dayTides(database(), fh, s, date);
    EXPECT_EQ(day.begin, utc(2026, 7, 15, 7));
    EXPECT_EQ(day.end, utc(2026, 7, 16, 7));
    const std::vector<TideEvent> expected = tideEvents(database(), fh, day.begin, day.end);
    ASSERT_EQ(day.events.size(), expected.size());
    ASSERT_GE(day.events.size(), 3u);
    ASSERT_EQ(day.minutes.size(), day.events.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(day.events[i].time, expected[i].time);
        EXPECT_EQ(day.minutes[i], (expected[i].time - day.begin) / 60);
    }
    ASSERT_EQ(day.curve.size(), 24u * 6 + 1);
    EXPECT_FALSE(day.interpolated);
    EXPECT_EQ(day.curve.front().time, day.begin);
    EXPECT_EQ(day.curve.back().time, day.end);
    for (const TideSample& c : day.curve)
        EXPECT_DOUBLE_EQ(c.metres, heightAt(database(), fh, c.time));
    // The curve read between samples is the curve: within 2 cm at each event.
    for (const TideEvent& e : day.events)
        EXPECT_NEAR(curveHeightAt(day, e.time), e.heightMetres, 0.02);
}

TEST(DayTides, TheDayTheClocksGoForwardHas23Hours) {
    const Pacific2026 rule;
    const SolunarState s = placeState(&rule);
    const TideStation& fh = station(stationWithId("9449880", true));
    const DayTides day = dayTides(database(), fh, s, Date::fromYmd(2026, 3, 8).value());
    EXPECT_EQ(day.end - day.begin, 23 * 3600);
    ASSERT_FALSE(day.events.empty());
    for (std::size_t i = 0; i < day.events.size(); ++i) {
        // Shown by the clock: an hour later than the time elapsed since
        // midnight once the clocks have gone forward at 02:00 (10:00 UTC).
        const auto elapsed = static_cast<int>((day.events[i].time - day.begin) / 60);
        const int shift = day.events[i].time >= utc(2026, 3, 8, 10) ? 60 : 0;
        EXPECT_EQ(day.minutes[i], elapsed + shift);
        EXPECT_LT(day.minutes[i], 24 * 60);
    }
}

TEST(DayTides, ASubordinateStationsCurveRunsThroughItsHighsAndLows) {
    const SolunarState s = placeState(nullptr, "-10", "10");
    const TideStation& kamalo = station(stationWithId("1613077", false));
    const DayTides day = dayTides(database(), kamalo, s, Date::fromYmd(2026, 7, 10).value());
    EXPECT_TRUE(day.interpolated);
    ASSERT_GE(day.events.size(), 2u);
    for (const TideEvent& e : day.events)
        EXPECT_NEAR(curveHeightAt(day, e.time), e.heightMetres, 0.01);
    for (std::size_t i = 0; i + 1 < day.events.size(); ++i) {
        const TideEvent& a = day.events[i];
        const TideEvent& b = day.events[i + 1];
        const double lo = std::min(a.heightMetres, b.heightMetres);
        const double hi = std::max(a.heightMetres, b.heightMetres);
        for (UnixSeconds t = a.time; t <= b.time; t += 300) {
            EXPECT_GE(curveHeightAt(day, t), lo - 1e-9);
            EXPECT_LE(curveHeightAt(day, t), hi + 1e-9);
        }
    }
    for (const TideSample& c : day.curve) EXPECT_FALSE(std::isnan(c.metres));
}

TEST(DayTides, TheFilesFirstAndLastDaysAreWholeBeyondThemNothing) {
    const SolunarState s = placeState(nullptr);
    const TideStation& fh = station(stationWithId("9449880", true));
    const int last = database().firstYear + database().yearCount - 1;
    const DayTides lastDay = dayTides(database(), fh, s, Date::fromYmd(last, 12, 31).value());
    EXPECT_GE(lastDay.events.size(), 3u) << last << "-12-31 ends after New Year in UTC";
    for (const TideSample& c : lastDay.curve) EXPECT_FALSE(std::isnan(c.metres));
    const int first = database().firstYear;
    if (first >= 1901) {
        const DayTides firstDay = dayTides(database(), fh, s, Date::fromYmd(first, 1, 1).value());
        EXPECT_GE(firstDay.events.size(), 3u);
    }
    if (last + 1 <= 2200) {
        const DayTides beyond = dayTides(database(), fh, s, Date::fromYmd(last + 1, 1, 10).value());
        EXPECT_TRUE(beyond.events.empty());
        EXPECT_TRUE(beyond.curve.empty());
    }
}

TEST(TideState, TheJournalsWordsBetweenTheDaysHighsAndLows) {
    const TideStation& fh = station(stationWithId("9449880", true));
    const std::vector<TideEvent> events =
        tideEvents(database(), fh, utc(2026, 7, 15), utc(2026, 7, 17));
    ASSERT_GE(events.size(), 4u);
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        const TideEvent& a = events[i];
        const TideEvent& b = events[i + 1];
        const std::string way = b.high ? "Rising " : "Falling ";
        EXPECT_EQ(tideState(database(), fh, a.time + 600), a.high ? "Slack High" : "Slack Low");
        EXPECT_EQ(tideState(database(), fh, b.time - 600), b.high ? "Slack High" : "Slack Low");
        const UnixSeconds run = b.time - a.time - 3600;
        const UnixSeconds start = a.time + 1800;
        EXPECT_EQ(tideState(database(), fh, start + run / 6), way + "1/3");
        EXPECT_EQ(tideState(database(), fh, start + run / 2), way + "2/3");
        EXPECT_EQ(tideState(database(), fh, start + run * 5 / 6), way + "3/3");
    }
    EXPECT_EQ(tideState(database(), fh, utc(2190, 1, 1)), "");
}

TEST(StationChoice, NearestUnlessThePlacePickedOneOrNone) {
    const TideDatabase& db = database();
    const int fh = stationWithId("9449880", true);
    const StationChoice nearest = chooseStation(db, 48.5453, -123.0125, "");
    EXPECT_EQ(nearest.index, fh);
    EXPECT_FALSE(nearest.picked);
    EXPECT_LT(nearest.distanceKm, 0.5);

    const std::string honolulu = station(stationWithId("1612340", true)).name;
    const StationChoice picked = chooseStation(db, 48.5453, -123.0125, honolulu);
    EXPECT_EQ(picked.index, stationWithId("1612340", true));
    EXPECT_TRUE(picked.picked);
    EXPECT_NEAR(picked.distanceKm, distanceKm(48.5453, -123.0125, 21.3067, -157.867), 30);

    const StationChoice none = chooseStation(db, 48.5453, -123.0125, kNoStation);
    EXPECT_EQ(none.index, -1);
    EXPECT_TRUE(none.picked);

    const StationChoice gone = chooseStation(db, 48.5453, -123.0125, "A station no file has");
    EXPECT_EQ(gone.index, fh);
    EXPECT_FALSE(gone.picked);

    EXPECT_EQ(chooseStation(db, -33.87, 151.21, "").index, -1) << "Sydney has no station near";
    EXPECT_EQ(stationNamed(db, station(fh).name), fh);
    EXPECT_EQ(stationNamed(db, ""), -1);
}

TEST(StationChoice, TheNearestStationsInOrderOfDistance) {
    const TideDatabase& db = database();
    const std::vector<NearStation> near = nearestStations(db, 48.5453, -123.0125, 25);
    ASSERT_EQ(near.size(), 25u);
    EXPECT_EQ(near.front().index, stationWithId("9449880", true));
    for (std::size_t i = 1; i < near.size(); ++i) EXPECT_LE(near[i - 1].distanceKm, near[i].distanceKm);
    // No station left out is nearer than the last one listed.
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        const bool listed = std::any_of(near.begin(), near.end(), [&](const NearStation& n) {
            return n.index == static_cast<int>(i);
        });
        if (!listed) {
            EXPECT_GE(distanceKm(48.5453, -123.0125, db.stations[i].latitude, db.stations[i].longitude),
                      near.back().distanceKm);
        }
    }
    EXPECT_EQ(nearestStations(db, 0, 0, 100000).size(), db.stations.size());
}

// The compiled-in index describes the installed file: it finds a station near
// exactly where the file does, and stands aside for any other file.
TEST(StationIndex, AgreesWithTheInstalledFile) {
    const TideDatabase& db = database();
    const std::string path = defaultHarmonicsPath();
    ASSERT_TRUE(indexedStationNear(path, 0, 0, 100).has_value())
        << "the index was made from another file than " << path
        << ": run moonbite_make_tide_index again";
    EXPECT_EQ(indexedStationCount(), db.stations.size());
    // A grid over the coasts and oceans of the file, and far away.
    int near = 0;
    for (double lat = -20; lat <= 72; lat += 1.5) {
        for (double lon = -180; lon <= 180; lon += 2.5) {
            const bool file = nearestStation(db, lat, lon, 100).index >= 0;
            const std::optional<bool> index = indexedStationNear(path, lat, lon, 100);
            ASSERT_TRUE(index.has_value());
            // The index may only say "near" a hair beyond reach, never miss one.
            if (file) {
                EXPECT_TRUE(*index) << lat << ", " << lon;
            } else if (*index) {
                EXPECT_GE(nearestStation(db, lat, lon, 100.1).index, 0) << lat << ", " << lon;
            }
            near += file ? 1 : 0;
        }
    }
    EXPECT_GT(near, 20);
    for (const TideStation& s : db.stations)
        EXPECT_TRUE(*indexedStationNear(path, s.latitude + 0.5, s.longitude, 100)) << s.name;
    EXPECT_FALSE(indexedStationNear("/elsewhere/other.tcd", 48.5, -123, 100).has_value());
}

TEST(TideDatabaseNear, OnlyTheStationsNearAPlaceAndTheirReferences) {
    const TideDatabase& all = database();
    const LoadResult near = loadTideDatabase(defaultHarmonicsPath(), Around{21.05, -156.9, 20});
    ASSERT_TRUE(near.database) << near.error;
    const TideDatabase& db = *near.database;
    ASSERT_FALSE(db.stations.empty());
    EXPECT_LT(db.stations.size(), all.stations.size() / 10);
    for (const TideStation& s : db.stations) {
        if (!s.reference) {
            ASSERT_GE(s.referenceStation, 0);
            EXPECT_TRUE(db.stations[static_cast<std::size_t>(s.referenceStation)].reference);
        }
    }
    // Every station of the whole file within reach is there, with the same tides.
    for (const TideStation& s : all.stations) {
        if (distanceKm(21.05, -156.9, s.latitude, s.longitude) > 20) continue;
        const int i = stationNamed(db, s.name);
        ASSERT_GE(i, 0) << s.name;
        const std::vector<TideEvent> a = tideEvents(all, s, yearStart(2026), yearStart(2026) + 3 * 86400);
        const std::vector<TideEvent> b = tideEvents(db, db.stations[static_cast<std::size_t>(i)],
                                                    yearStart(2026), yearStart(2026) + 3 * 86400);
        ASSERT_EQ(a.size(), b.size()) << s.name;
        for (std::size_t k = 0; k < a.size(); ++k) EXPECT_EQ(a[k].time, b[k].time);
    }
    const LoadResult far = loadTideDatabase(defaultHarmonicsPath(), Around{-33.87, 151.2, 100});
    ASSERT_TRUE(far.database) << "a place with no station near is no error";
    EXPECT_TRUE(far.database->stations.empty());
}

TEST(TideTexts, EventsDistancesAndTheSource) {
    ClockDesignators am;
    EXPECT_EQ(eventText({0, true, 1.8349}, 5 * 60 + 12, am), "High 05:12 AM 1.83 m");
    EXPECT_EQ(eventText({0, false, -0.214}, 23 * 60 + 30, am), "Low 11:30 PM -0.21 m");
    EXPECT_EQ(distanceText(0.04), "0.0 km");
    EXPECT_EQ(distanceText(9.84), "9.8 km");
    EXPECT_EQ(distanceText(42.6), "43 km");
    const std::string line = honestyLine(database());
    EXPECT_NE(line.find("not for navigation"), std::string::npos);
    EXPECT_NE(line.find(database().edition.substr(0, 10)), std::string::npos);
}

TEST(TideSourceTest, AMissingFileIsToldOnceAndNeverThrown) {
    TideSource missing("/nonexistent/harmonics.tcd");
    EXPECT_EQ(missing.database(), nullptr);
    EXPECT_NE(missing.problem().find("/nonexistent/harmonics.tcd"), std::string::npos);
    EXPECT_EQ(missing.database(), nullptr);

    TideSource installed(defaultHarmonicsPath());
    ASSERT_NE(installed.database(), nullptr);
    EXPECT_EQ(installed.problem(), "");
    EXPECT_EQ(installed.database()->stations.size(), database().stations.size());
}

}  // namespace
}  // namespace moonbite::tides
