// Speed of tide prediction: reading the installed harmonics file, a year of
// highs and lows at one station (a reference station and a subordinate one),
// the nearest station to a place, and a day's curve sampled for a picture.
//   build/bench/moonbite_tides_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "place_tides.h"
#include "solunar_day.h"
#include "station_index.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace {

using namespace moonbite::tides;

const TideDatabase& database() {
    static const TideDatabase db = [] {
        LoadResult r = loadTideDatabase(defaultHarmonicsPath());
        if (!r.database) throw std::runtime_error(r.error);
        return std::move(*r.database);
    }();
    return db;
}

const TideStation& station(const char* id, bool reference) {
    for (const TideStation& s : database().stations)
        if (s.id == id && s.reference == reference) return s;
    throw std::runtime_error("no such station");
}

void BM_LoadHarmonicsFile(benchmark::State& state) {
    const std::string path = defaultHarmonicsPath();
    for (auto _ : state) {
        LoadResult r = loadTideDatabase(path);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_LoadHarmonicsFile)->Unit(benchmark::kMillisecond);

void BM_YearOfHighsAndLows(benchmark::State& state, const char* id, bool reference) {
    const TideStation& s = station(id, reference);
    const UnixSeconds from = yearStart(2027);
    const UnixSeconds to = yearStart(2028);
    for (auto _ : state) {
        auto events = tideEvents(database(), s, from, to);
        benchmark::DoNotOptimize(events);
    }
}
BENCHMARK_CAPTURE(BM_YearOfHighsAndLows, reference_FridayHarbor, "9449880", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_YearOfHighsAndLows, subordinate_KamaloHarbor, "1613077", false)
    ->Unit(benchmark::kMillisecond);

void BM_NearestStation(benchmark::State& state) {
    for (auto _ : state) {
        auto n = nearestStation(database(), 24.555, -81.782);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_NearestStation)->Unit(benchmark::kMicrosecond);

void BM_DayCurveEveryFiveMinutes(benchmark::State& state) {
    const TideStation& s = station("9449880", true);
    const UnixSeconds day = yearStart(2027) + 200 * 86400;
    for (auto _ : state) {
        double sum = 0;
        for (UnixSeconds t = day; t <= day + 86400; t += 300)
            sum += heightAt(database(), s, t);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DayCurveEveryFiveMinutes)->Unit(benchmark::kMicrosecond);

// What the window does for each day it shows: the day's events and its
// ten-minute curve by the place's clock.
void BM_DayTidesForTheWindow(benchmark::State& state) {
    const TideStation& s = station("9449880", true);
    moonbite::SolunarState st;
    st.latitude = 48.55;
    st.longitude = -123.02;
    st.timeZoneEntered = "-7";
    st.timeZoneForComputations = "7";
    const moonbite::Date date = moonbite::Date::fromYmd(2026, 7, 15).value();
    for (auto _ : state) {
        DayTides day = dayTides(database(), s, st, date);
        benchmark::DoNotOptimize(day);
    }
}
BENCHMARK(BM_DayTidesForTheWindow)->Unit(benchmark::kMicrosecond);

// What `day --json` reads: only the stations within reach of a place.
void BM_LoadStationsNearAPlace(benchmark::State& state) {
    for (auto _ : state) {
        LoadResult r = loadTideDatabase(defaultHarmonicsPath(), Around{48.55, -123.02, 100});
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_LoadStationsNearAPlace)->Unit(benchmark::kMillisecond);

// And far from the sea: the compiled-in index alone.
void BM_IndexSaysNoStationNear(benchmark::State& state) {
    const std::string path = defaultHarmonicsPath();
    for (auto _ : state) {
        auto near = indexedStationNear(path, -33.87, 151.22, 100);
        benchmark::DoNotOptimize(near);
    }
}
BENCHMARK(BM_IndexSaysNoStationNear)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
