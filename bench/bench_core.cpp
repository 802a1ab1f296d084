// Speed of the core.
//   build/bench/moonbite_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "day_driver.h"
#include "month_calendar.h"

namespace moonbite {
namespace {

SolunarState sydney() {
    SolunarState s;
    s.latitude = -(33 + 52 / 60.0);
    s.longitude = 151 + 13 / 60.0;
    s.timeZoneEntered = "10";
    s.timeZoneForComputations = "-10";
    return s;
}

Date day(int offset) {
    return *Date::fromYmd(2000, 1, 1) + offset % 3650;
}

// A date change in the main window: the day computation with 60 graph days,
// then the lunar distance.
void BM_WholeDay60GraphDays(benchmark::State& state) {
    SolunarState s = sydney();
    s.plottedDayCount = 60;
    int i = 0;
    for (auto _ : state) {
        setDateControls(s, day(i++ * 37));
        datechanged(s);
        showLunarDistance(s);
        benchmark::DoNotOptimize(s.Text4);
    }
}
BENCHMARK(BM_WholeDay60GraphDays)->Unit(benchmark::kMicrosecond);

// One printed month: 31 cells with every option.
void BM_PrintedMonth(benchmark::State& state) {
    SolunarState s = sydney();
    MonthCell cell;
    int m = 0;
    for (auto _ : state) {
        const int month = m++ % 12 + 1;
        for (int d = 1; d <= daysInMonth(2000, month); ++d) {
            calcdata(s, 2000, month, d, MonthCellOptions{}, cell);
        }
        benchmark::DoNotOptimize(cell);
    }
}
BENCHMARK(BM_PrintedMonth)->Unit(benchmark::kMicrosecond);

void BM_Sunriseset(benchmark::State& state) {
    SolunarState s = sydney();
    int i = 0;
    for (auto _ : state) {
        s.computationDate = day(i++);
        Sunriseset(s);
        benchmark::DoNotOptimize(s.Text6);
    }
}
BENCHMARK(BM_Sunriseset);

void BM_moonriseset(benchmark::State& state) {
    SolunarState s = sydney();
    int i = 0;
    for (auto _ : state) {
        s.computationDate = day(i++);
        moonriseset(s);
        benchmark::DoNotOptimize(s.moonriseText);
    }
}
BENCHMARK(BM_moonriseset);

void BM_calcmoontime(benchmark::State& state) {
    SolunarState s = sydney();
    int i = 0;
    for (auto _ : state) {
        s.computationDate = *Date::fromYmd(1901 + i++ % 300, 6, 1);
        calcmoontime(s);
        benchmark::DoNotOptimize(s.phases);
    }
}
BENCHMARK(BM_calcmoontime);

// The tool as a whole process, output thrown away.
}  // namespace
}  // namespace moonbite

BENCHMARK_MAIN();
