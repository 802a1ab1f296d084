// `moonbite-cli tides`: the highs and lows at the tide station nearest a place
// (or one named with --station), in the place's clock; `moonbite-cli stations
// QUERY`: the stations of the harmonics file that match a name.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <iomanip>
#include <optional>
#include <sstream>

#include "cli_app.h"
#include "cli_shared.h"
#include "cli_tides.h"
#include "command.h"
#include "tide_database.h"
#include "place_tides.h"
#include "station_index.h"
#include "stored_places.h"
#include "tide_prediction.h"

namespace moonbite::cli {
namespace {

constexpr double kNearKm = kTideStationReachKm;

/// "+10:00", "-07:00", "+05:30".
std::string offsetText(Instant seconds) {
    const char sign = seconds < 0 ? '-' : '+';
    const Instant m = std::llabs(seconds) / 60;
    char text[24];
    std::snprintf(text, sizeof text, "%c%02lld:%02lld", sign, static_cast<long long>(m / 60),
                  static_cast<long long>(m % 60));
    return text;
}

/// The clock the events are shown in: the place's rule or fixed offset.
struct Clock {
    std::shared_ptr<const NamedZoneRule> rule;
    double fixedHours = 0;

    [[nodiscard]] Instant offsetAt(tides::UnixSeconds t) const {
        const double hours = rule ? rule->hoursAt(t + kUnixEpochInstant) : fixedHours;
        return zoneSeconds(hours);
    }
    /// The instant (Unix seconds) of local midnight starting a date.
    [[nodiscard]] tides::UnixSeconds midnight(Date d) const {
        const tides::UnixSeconds naive = instantOf(d) - kUnixEpochInstant;
        // The offset at midnight: tried at the naive instant, then corrected once.
        tides::UnixSeconds t = naive - offsetAt(naive);
        t = naive - offsetAt(t);
        return t;
    }
};

struct LocalTime {
    Date date;
    int hour = 0, minute = 0;
    Instant offset = 0;
};

LocalTime localTime(const Clock& clock, tides::UnixSeconds t) {
    LocalTime l;
    l.offset = clock.offsetAt(t);
    const Instant local = t + kUnixEpochInstant + l.offset;
    const Instant day = local >= 0 ? local / kSecondsPerDay : (local - kSecondsPerDay + 1) / kSecondsPerDay;
    l.date = Date::fromSerial(static_cast<std::int32_t>(day));
    const Instant within = local - day * kSecondsPerDay;
    l.hour = static_cast<int>(within / 3600);
    l.minute = static_cast<int>((within % 3600) / 60);
    return l;
}

std::string isoTime(const LocalTime& l) {
    char text[40];
    std::snprintf(text, sizeof text, "%sT%02d:%02d%s", isoDate(l.date).c_str(), l.hour, l.minute,
                  offsetText(l.offset).c_str());
    return text;
}

std::string clockText(const LocalTime& l) {
    char text[16];
    const int h12 = l.hour % 12 == 0 ? 12 : l.hour % 12;
    std::snprintf(text, sizeof text, "%02d:%02d %s", h12, l.minute, l.hour < 12 ? "AM" : "PM");
    return text;
}

std::string metres(double v) {
    char text[24];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

Json stationJson(const tides::TideStation& s, std::optional<double> distanceKm) {
    Json j{{"name", s.name},
           {"id", s.id},
           {"kind", s.reference ? "reference" : "subordinate"},
           {"latitude", s.latitude},
           {"longitude", s.longitude},
           {"time_zone", s.timeZone},
           {"datum", s.datum}};
    if (distanceKm) j["distance_km"] = std::round(*distanceKm * 10) / 10;
    return j;
}

class TidesCommand final : public Command {
  public:
    explicit TidesCommand(CLI::App& app) {
        CLI::App* cmd = app.add_subcommand(
            "tides", "Highs and lows at the tide station nearest the place, or at --station");
        addPlaceOptions(cmd, place_, true);
        cmd->add_option("--station", station_,
                        "A tide station by name or number (moonbite-cli stations QUERY lists "
                        "them); its own zone unless a place or zone is given");
        cmd->add_option("--from", from_, "The first day, YYYY-MM-DD (default today)");
        cmd->add_option("--days", days_, "How many days, 1..366 (default 1)");
        cmd->add_flag("--json", json_, "Write JSON");
        cmd->add_flag("--csv", csv_, "Write CSV");
    }

    int run(Date today, std::ostream& out, std::ostream& err) override {
        if (json_ && csv_) throw InputError("--json and --csv cannot both be given");
        const Date from = from_.empty() ? today : requireDate(from_, "--from");
        const int days = days_.empty() ? 1 : requireWhole(days_, "--days", 1, 366);
        const bool placeGiven = !place_.latText.empty() || !place_.lonText.empty() ||
                                place_.tzOption || place_.tzName || !place_.location.empty() ||
                                !place_.placeName.empty();
        Clock clock;
        std::optional<double> distance;
        int index = -1;
        const tides::TideDatabase* db = nullptr;
        if (!station_.empty()) {
            if (placeGiven) validatePlace(place_, true, today);
            db = &tideDatabase();
            const std::vector<int> found = tides::findStations(*db, station_, 1);
            if (found.empty()) {
                throw InputError("no tide station matches \"" + shown(station_) +
                                 "\" (moonbite-cli stations QUERY lists them)");
            }
            index = found.front();
            const tides::TideStation& s = db->stations[static_cast<std::size_t>(index)];
            if (placeGiven) {
                clock = {place_.rule, place_.tz};
                distance = tides::distanceKm(place_.lat, place_.lon, s.latitude, s.longitude);
            } else {
                clock.rule = isZoneDatabaseName(s.timeZone) ? zoneNamed(s.timeZone) : nullptr;
                if (!clock.rule)
                    throw MissingData("the zone of " + s.name + " is not in this computer's zone database");
            }
        } else {
            validatePlace(place_, true, today);
            db = &tideDatabase();
            clock = {place_.rule, place_.tz};
            const tides::NearStation near = tides::nearestStation(*db, place_.lat, place_.lon, kNearKm);
            if (near.index < 0) {
                return failure(err,
                               "No tide station near this place (none within " +
                                   std::to_string(static_cast<int>(kNearKm)) +
                                   " km; --station names one)",
                               kFailure);
            }
            index = near.index;
            distance = near.distanceKm;
        }
        const tides::TideStation& s = db->stations[static_cast<std::size_t>(index)];
        const Date last = from + (days - 1);
        if (!db->coversYear(from.ymd().year) || !db->coversYear(last.ymd().year)) {
            throw InputError("the harmonics file predicts tides for " + std::to_string(db->firstYear) +
                             " to " + std::to_string(db->firstYear + db->yearCount - 1) + " only");
        }
        const std::vector<tides::TideEvent> events =
            tides::tideEvents(*db, s, clock.midnight(from), clock.midnight(last + 1));
        if (json_) {
            Json list = Json::array();
            for (const tides::TideEvent& e : events) {
                list.push_back({{"time", isoTime(localTime(clock, e.time))},
                                {"type", e.high ? "high" : "low"},
                                {"height_m", std::round(e.heightMetres * 1000) / 1000}});
            }
            out << jsonText(Json{{"station", stationJson(s, distance)},
                                 {"datum", s.datum},
                                 {"units", "m"},
                                 {"note", tideHonestyLine(*db)},
                                 {"events", list}},
                            2)
                << '\n';
            return 0;
        }
        if (csv_) {
            out << "time,type,height_m,datum,station\n";
            for (const tides::TideEvent& e : events) {
                out << isoTime(localTime(clock, e.time)) << ',' << (e.high ? "high" : "low") << ','
                    << metres(e.heightMetres) << ",\"" << s.datum << "\",\"" << s.id << "\"\n";
            }
            return 0;
        }
        out << s.name << " (" << (s.reference ? "" : "subordinate station, ") << "NOAA " << s.id
            << ")";
        if (distance) out << ", " << std::fixed << std::setprecision(1) << *distance << " km away";
        out << "\nHeights in metres above " << s.datum << ".\n\n";
        for (const tides::TideEvent& e : events) {
            const LocalTime l = localTime(clock, e.time);
            out << isoDate(l.date) << ' ' << weekdayShort(l.date) << "  " << clockText(l) << ' '
                << offsetText(l.offset) << "  " << (e.high ? "High" : "Low ") << ' '
                << std::setw(6) << metres(e.heightMetres) << " m\n";
        }
        if (events.empty()) out << "No high or low water in these days.\n";
        out << '\n' << tideHonestyLine(*db) << '\n';
        return 0;
    }

  private:
    static const char* weekdayShort(Date d) {
        static const char* names[] = {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"};
        // Serial 0 (30 December 1899) was a Saturday.
        const std::int32_t n = d.serial() % 7;
        return names[n < 0 ? n + 7 : n];
    }

    Place place_;
    std::string station_;
    std::string from_;
    std::string days_;
    bool json_ = false;
    bool csv_ = false;
};

class StationsCommand final : public Command {
  public:
    explicit StationsCommand(CLI::App& app) {
        CLI::App* cmd = app.add_subcommand(
            "stations", "Tide stations of the harmonics file matching a name or number");
        cmd->add_option("query", query_, "Words of the station's name, or its number")->required();
        cmd->add_option("--limit", limit_, "At most this many stations, 1..1000 (default 20)");
        cmd->add_flag("--json", json_, "Write JSON");
    }

    int run(Date, std::ostream& out, std::ostream& err) override {
        const int limit = limit_.empty() ? 20 : requireWhole(limit_, "--limit", 1, 1000);
        const tides::TideDatabase& db = tideDatabase();
        const std::vector<int> found =
            tides::findStations(db, query_, static_cast<std::size_t>(limit));
        if (json_) {
            Json list = Json::array();
            for (int i : found)
                list.push_back(stationJson(db.stations[static_cast<std::size_t>(i)], std::nullopt));
            out << jsonText(Json{{"stations", list}, {"note", tideHonestyLine(db)}}, 2) << '\n';
        } else {
            for (int i : found) {
                const tides::TideStation& s = db.stations[static_cast<std::size_t>(i)];
                out << std::left << std::setw(8) << s.id << ' ' << std::setw(11)
                    << (s.reference ? "reference" : "subordinate") << ' '
                    << places::minutesText(s.latitude, true) << ' '
                    << places::minutesText(s.longitude, false) << "  " << s.name << '\n';
            }
        }
        if (!found.empty()) return 0;
        return failure(err, "no tide station matches \"" + shown(query_) + "\"", kFailure);
    }

  private:
    std::string query_;
    std::string limit_;
    bool json_ = false;
};

}  // namespace

const tides::TideDatabase& tideDatabase() {
    static std::optional<tides::TideDatabase> db;
    if (!db) {
        const std::string path = tides::defaultHarmonicsPath();
        if (path.empty()) {
            throw MissingData(
                "no tide harmonics file is installed (install the package xtide-data, or set "
                "MOONBITE_HARMONICS to a .tcd file)");
        }
        tides::LoadResult r = tides::loadTideDatabase(path);
        if (!r.database) throw MissingData("tides cannot be predicted: " + shown(r.error));
        db = std::move(*r.database);
    }
    return *db;
}

std::string tideHonestyLine(const tides::TideDatabase& db) { return tides::honestyLine(db); }

std::string storedTideStation(const Place& p, bool fromSettings) {
    if (!fromSettings) return {};
    const storage::StoredPlaces stored(p.settingsDir);
    const std::optional<std::string> station =
        p.location.empty()
            ? stored.stateSetting("tidestation")
            : stored.titleFile().get(storage::locationSection(p.location), "tidestation");
    return station.value_or("");
}

std::optional<Json> dayTidesJson(const SolunarState& s, Date date, const std::string& stored) {
    if (stored == tides::kNoStation) return std::nullopt;
    const std::string path = tides::defaultHarmonicsPath();
    if (path.empty()) return std::nullopt;
    // Most places on Earth are far from every station of the file: the
    // compiled-in index says so without opening it.
    if (stored.empty()) {
        const std::optional<bool> near =
            tides::indexedStationNear(path, s.latitude, s.longitude, kNearKm);
        if (near && !*near) return std::nullopt;
    }
    // The nearest station needs only the stations near the place: a fraction
    // of the file, read in a fraction of the time.
    tides::LoadResult r =
        stored.empty() ? tides::loadTideDatabase(path, tides::Around{s.latitude, s.longitude,
                                                                     kNearKm})
                       : tides::loadTideDatabase(path);
    if (!r.database) return std::nullopt;
    const tides::TideDatabase& db = *r.database;
    const tides::StationChoice c = tides::chooseStation(db, s.latitude, s.longitude, stored);
    if (c.index < 0) return std::nullopt;
    const tides::TideStation& station = db.stations[static_cast<std::size_t>(c.index)];
    const tides::DayTides day = tides::dayTides(db, station, s, date);
    Json list = Json::array();
    for (const tides::TideEvent& e : day.events) {
        const Instant at = e.time + kUnixEpochInstant;
        const Instant reading = clockReading(s, at);
        LocalTime l;
        l.offset = zoneSeconds(hoursAt(s, at));
        l.date = Date::fromSerial(static_cast<std::int32_t>(reading / kSecondsPerDay));
        l.hour = static_cast<int>(reading % kSecondsPerDay / 3600);
        l.minute = static_cast<int>(reading % 3600 / 60);
        list.push_back({{"time", isoTime(l)},
                        {"type", e.high ? "high" : "low"},
                        {"height_m", std::round(e.heightMetres * 1000) / 1000}});
    }
    return Json{{"station", stationJson(station, c.distanceKm)},
                {"datum", station.datum},
                {"units", "m"},
                {"interpolated_between_events", day.interpolated},
                {"note", tides::honestyLine(db)},
                {"events", list}};
}

std::unique_ptr<Command> defineTides(CLI::App& app) {
    return std::make_unique<TidesCommand>(app);
}

std::unique_ptr<Command> defineStations(CLI::App& app) {
    return std::make_unique<StationsCommand>(app);
}

}  // namespace moonbite::cli
