// Speed of the gazetteer: reading the installed table once, then queries as a
// user types them (short prefixes match the most places and are the slowest).
//   build/bench/moonbite_places_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "gazetteer.h"

namespace {

using moonbite::places::Gazetteer;

const Gazetteer& table() {
    static const Gazetteer g = [] {
        std::string error;
        auto t = Gazetteer::load(MOONBITE_PLACES_TABLE, &error);
        if (!t) throw std::runtime_error(error);
        return std::move(*t);
    }();
    return g;
}

void BM_LoadTable(benchmark::State& state) {
    for (auto _ : state) {
        auto t = Gazetteer::load(MOONBITE_PLACES_TABLE);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State& state, const char* query) {
    const Gazetteer& g = table();
    for (auto _ : state) {
        auto hits = g.search(query, 20);
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK_CAPTURE(BM_Search, one_letter, "s")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, key_west, "key west")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, accents, "sao paulo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, with_region, "westport wa")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Search, three_words, "port of spain trinidad")->Unit(benchmark::kMillisecond);

void BM_Suggestions(benchmark::State& state) {
    const Gazetteer& g = table();
    for (auto _ : state) {
        auto near = g.suggestions("Kee Wesst", 3);
        benchmark::DoNotOptimize(near);
    }
}
BENCHMARK(BM_Suggestions)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
