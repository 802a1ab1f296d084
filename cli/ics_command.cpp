#include "ics_command.h"

#include "cli_tides.h"
#include "tide_prediction.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "cli_app.h"
#include "cli_common.h"
#include "cli_shared.h"
#include "command.h"
#include "qt_commands.h"

namespace moonbite::cli {
namespace {

constexpr int kMaxDays = 3660;

std::string lowered(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    std::string s;
    for (char c : text)
        s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int requireDays(const std::string& text) {
    // Decimal digits only, as every number of the tool.
    // At most six digits are read, so the number cannot overflow.
    bool digits = !text.empty();
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            digits = false;
            break;
        }
        if (v <= 99999) v = v * 10 + (c - '0');
    }
    if (!digits) {
        throw InputError("--days \"" + shown(text) +
                         "\" is not a whole number of days (decimal digits, like 30)");
    }
    if (v < 1 || v > kMaxDays)
        throw InputError("--days " + shown(text) + " is outside 1.." + std::to_string(kMaxDays));
    return v;
}

IcsEventSet eventSet(const std::string& list) {
    IcsEventSet set{false, false, false, false, false};
    bool any = false;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        start = comma + 1;
        const std::string name = lowered(item);
        if (name == "majors")
            set.majors = true;
        else if (name == "minors")
            set.minors = true;
        else if (name == "phases")
            set.phases = true;
        else if (name == "sun")
            set.sun = true;
        else if (name == "rating")
            set.rating = true;
        else if (name == "tides")
            set.tides = true;
        else
            throw InputError("unknown event kind \"" + shown(item) +
                             "\" in --events (use majors, minors, phases, sun, rating, tides)");
        any = true;
    }
    if (!any) throw InputError("--events needs at least one kind");
    return set;
}

// The prediction scores behind the rating words.
int minimumScore(const std::string& word) {
    const std::string name = lowered(word);
    if (name == "poor") return 0;
    if (name == "fair") return 33;
    if (name == "good") return 66;
    if (name == "excellent") return 100;
    throw InputError("--min-rating \"" + shown(word) +
                     "\" is not a rating (use Poor, Fair, Good or Excellent)");
}

// The nearest station's highs and lows of each local day, as the calendar
// asks for them; the station must lie within reach of the place.
void addTides(IcsRange& range, double latitude, double longitude) {
    const tides::TideDatabase& db = tideDatabase();
    const tides::NearStation near =
        tides::nearestStation(db, latitude, longitude, kTideStationReachKm);
    if (near.index < 0) {
        throw MissingData("No tide station near this place (none within " +
                          std::to_string(static_cast<int>(kTideStationReachKm)) +
                          " km): --events tides cannot be written");
    }
    const tides::TideStation& s = db.stations[static_cast<std::size_t>(near.index)];
    if (!db.coversYear(range.from.year()) || !db.coversYear((range.from + (range.days - 1)).year())) {
        throw InputError("the harmonics file predicts tides for " + std::to_string(db.firstYear) +
                         " to " + std::to_string(db.firstYear + db.yearCount - 1) + " only");
    }
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.1f km", near.distanceKm);
    range.tideNote = "Heights in metres above " + s.datum + " at " + s.name + " (NOAA " + s.id +
                     "), " + distance + " from the place. " + tideHonestyLine(db);
    range.tidesOf = [&db, &s](const SolunarState& state, Date date) {
        const ClockDay day = clockDay(state, date);
        std::vector<IcsTide> out;
        for (const tides::TideEvent& e :
             tides::tideEvents(db, s, day.begin - kUnixEpochInstant, day.end - kUnixEpochInstant))
            out.push_back({e.time, e.high, e.heightMetres});
        return out;
    };
}

const IcsModule& icsModule() {
    static const IcsModule& module = []() -> const IcsModule& {
        const auto* table = static_cast<const IcsModule*>(
            loadModuleTable(kIcsModuleName, kIcsModuleSymbol, {}, "writes calendar files"));
        if (table->abiVersion != kIcsModuleAbi)
            throw std::runtime_error(std::string(kIcsModuleName) + " is not this version's module");
        return *table;
    }();
    return module;
}

}  // namespace

void addIcsOptions(CLI::App* command, IcsArguments& a) {
    command->add_option("--from", a.from, "First date as YYYY-MM-DD; default today");
    command->add_option("--days", a.days, "Number of days, 1..3660")->default_str("30");
    command->add_option("--output", a.output, "Write the calendar to this file (default: stdout)");
    command
        ->add_option("--events", a.events,
                     "What to write, a comma-separated list of majors, minors, phases, sun, "
                     "rating, tides (the nearest tide station's highs and lows)")
        ->default_str("majors,minors,phases");
    command->add_option("--min-rating", a.minRating,
                        "Only days rated at least Poor, Fair, Good or Excellent");
}

CommandResult runIcs(const IcsArguments& a, const SolunarState& fresh, double latitude,
                     double longitude, Date today,
                     const std::function<void(SolunarState&, Date)>& computeDay,
                     std::ostream& out) {
    IcsRequest request;
    request.range.from = today;
    if (!a.from.empty()) {
        const auto d = parseIsoDate(a.from);
        if (!d) {
            throw InputError("--from \"" + shown(a.from) +
                             "\" is not a date in YYYY-MM-DD form between 1901-01-01 and "
                             "2200-12-31");
        }
        request.range.from = *d;
    } else if (today.year() < 1901 || today.year() > 2200) {
        throw InputError("today lies outside 1901..2200");
    }
    request.range.days = requireDays(a.days);
    if ((request.range.from + (request.range.days - 1)).year() > 2200)
        throw InputError("the range runs past 2200-12-31");
    request.range.kinds = eventSet(a.events);
    request.range.minScore = a.minRating.empty() ? 0 : minimumScore(a.minRating);
    if (request.range.kinds.tides) addTides(request.range, latitude, longitude);
    request.latitude = latitude;
    request.longitude = longitude;
    const bool toStdout = a.output.empty() || a.output == "-";
    if (!toStdout) checkOutputTarget(a.output);
    request.fresh = fresh;
    request.stampUtc = static_cast<std::int64_t>(std::time(nullptr));
    request.computeDay = computeDay;

    if (toStdout) {
        auto toStream = [](void* context, const char* data, std::size_t size) {
            auto& stream = *static_cast<std::ostream*>(context);
            stream.write(data, static_cast<std::streamsize>(size));
            return static_cast<bool>(stream);
        };
        // A stream that fails stops the writing; the tool reports it at the end.
        return icsModule().writeCalendar(request, toStream, &out);
    }
    checkOutputFolder(a.output);
    try {
        struct Target {
            WholeFile file;
            std::string error;
        } target{WholeFile(a.output), {}};
        auto toFile = [](void* context, const char* data, std::size_t size) {
            auto& t = *static_cast<Target*>(context);
            try {
                t.file.write(std::string_view(data, size));
                return true;
            } catch (const WriteError& e) {
                t.error = e.what();
                return false;
            }
        };
        const CommandResult made = icsModule().writeCalendar(request, toFile, &target);
        if (made.status != 0) return made;
        if (!target.error.empty()) return {kFailure, target.error};
        target.file.commit();
    } catch (const WriteError& e) {
        return {kFailure, e.what()};
    }
    return {};
}

namespace {

class IcsCommand final : public Command {
  public:
    explicit IcsCommand(CLI::App& app) {
        CLI::App* ics =
            app.add_subcommand("ics", "Fishing times as an iCalendar file for calendar programs");
        addPlaceOptions(ics, place_, true);
        addIcsOptions(ics, arguments_);
    }

    int run(Date today, std::ostream& out, std::ostream& err) override {
        validatePlace(place_, true, today);
        const CommandResult r = runIcs(
            arguments_, makeState(place_, today), place_.lat, place_.lon, today,
            [](SolunarState& s, Date date) { computeDay(s, date, 0); }, out);
        if (r.status != 0) return failure(err, r.message, r.status);
        return 0;
    }

  private:
    Place place_;
    IcsArguments arguments_;
};

}  // namespace

std::unique_ptr<Command> defineIcs(CLI::App& app) {
    return std::make_unique<IcsCommand>(app);
}

}  // namespace moonbite::cli
