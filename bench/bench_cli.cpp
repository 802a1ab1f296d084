// moonbite-cli as whole processes, each next to the floor measured in the
// same run (a C++ program of this build that prints one line and exits):
//   build/bench/moonbite_cli_bench --benchmark_repetitions=5
//   --benchmark_report_aggregates_only=true
// Counters: vs_floor = the command's time / the floor's, summed over the same
// iterations; peak_KiB = the largest resident size of the command's process.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Child {
    bool ok = false;
    long peakKiB = 0;
};

Child spawnAndWait(const char* program, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Child child;
    if (posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        child.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        child.peakKiB = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// A settings folder holding a current location, as the program writes it.
const std::string& storedPlaceFolder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/moonbite-bench-XXXXXX";
        const std::string dir = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        std::ofstream state(dir + "/Moonbite State.ini");
        state << "[Settings]\ncurrentloc=Sydney\nlatdeg=33\nlatmin=52\nNorS=S\nlondeg=151\n"
                 "lonmin=13\nWorE=E\ngmt=10\n";
        std::ofstream title(dir + "/Moonbite.ini");
        title << "[Settings]\nPrediction=1\nMajorminor=1\n\n[Settings/Locations]\nnlist=1\n"
                 "place(1)=Sydney\n";
        return dir;
    }();
    return folder;
}

// Each iteration runs the floor process and then the command, so both meet
// the same state of the machine; the benchmark's time is the command's alone.
void runProcess(benchmark::State& state, const char* program,
                const std::vector<std::string>& args) {
    long peak = 0;
    double floorTotal = 0;
    double total = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const Child floor = spawnAndWait(MOONBITE_FLOOR_PATH, {});
        const auto t1 = Clock::now();
        const Child child = spawnAndWait(program, args);
        const auto t2 = Clock::now();
        if (!floor.ok || !child.ok) {
            state.SkipWithError("the process failed");
            break;
        }
        const double seconds = std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(seconds);
        total += seconds;
        floorTotal += std::chrono::duration<double>(t1 - t0).count();
        peak = std::max(peak, child.peakKiB);
    }
    if (state.iterations() > 0 && floorTotal > 0) {
        state.counters["vs_floor"] = total / floorTotal;
        state.counters["peak_KiB"] = static_cast<double>(peak);
    }
}

void BM_Floor(benchmark::State& state) {
    runProcess(state, MOONBITE_FLOOR_PATH, {});
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliHelp(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH, {"--help"});
}
BENCHMARK(BM_CliHelp)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliDayExplicitPlace(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"day", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--date", "2000-01-21",
                "--json"});
}
BENCHMARK(BM_CliDayExplicitPlace)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliDayStoredPlace(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"day", "--settings-dir", storedPlaceFolder(), "--date", "2000-01-21", "--json"});
}
BENCHMARK(BM_CliDayStoredPlace)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliDayNamedPlace(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"day", "--settings-dir", storedPlaceFolder(), "--location", "Sydney", "--date",
                "2000-01-21"});
}
BENCHMARK(BM_CliDayNamedPlace)->Unit(benchmark::kMillisecond)->UseManualTime();

// Near a tide station: the stations around the place read from the harmonics file.
void BM_CliDayNearAStation(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"day", "--lat", "48:33N", "--lon", "123:01W", "--tz", "-7", "--date", "2026-07-15",
                "--json"});
}
BENCHMARK(BM_CliDayNearAStation)->Unit(benchmark::kMillisecond)->UseManualTime();

// A town by name: the list of places read and searched once in the process.
void BM_CliDayTownByName(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH, {"day", "--place", "Key West", "--date", "2027-01-20"});
}
BENCHMARK(BM_CliDayTownByName)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliPlaces(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH, {"places", "westport"});
}
BENCHMARK(BM_CliPlaces)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliMonth(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"month", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--year", "2027",
                "--month", "6"});
}
BENCHMARK(BM_CliMonth)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CliRangeTenYears(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"range", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--from",
                "2000-01-01", "--days", "3660", "--csv"});
}
BENCHMARK(BM_CliRangeTenYears)->Unit(benchmark::kMillisecond)->UseManualTime();

// A year of every kind of event as an iCalendar file (target: under 100 ms),
// the writer's module loaded as the command loads it.
void BM_CliIcsYearAllEvents(benchmark::State& state) {
    runProcess(state, MOONBITE_CLI_PATH,
               {"ics", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--from", "2027-01-01",
                "--days", "365", "--events", "majors,minors,phases,sun,rating"});
}
BENCHMARK(BM_CliIcsYearAllEvents)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
