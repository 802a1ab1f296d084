#include "cli_shared.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli_common.h"
#include "coordinate_text.h"
#include "day_driver.h"
#include "month_calendar.h"
#include "qt_commands.h"
#include "stored_places.h"
#include "zone_rules.h"

#include "cli_app.h"

namespace moonbite::cli {

namespace {

bool parseUnsigned(std::string_view s, int& value) {
    if (s.empty() || s.size() > 4) return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Numbers on the command line are decimal: leading zeros are only zeros (never
// octal), and there is no hex, no exponent, no "inf" or "nan".
std::optional<long long> parseWhole(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        if (v < 1'000'000'000'000LL) v = v * 10 + (c - '0');  // larger stays larger
    }
    return negative ? -v : v;
}

bool parseDecimal(std::string_view s, double& value) {
    std::string_view digits = s;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
        digits.remove_prefix(1);
    const std::size_t point = digits.find('.');
    const std::string_view whole = digits.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : digits.substr(point + 1);
    auto allDigits = [](std::string_view t) {
        return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() && fraction.empty()) return false;
    if (!allDigits(whole) || !allDigits(fraction)) return false;
    // from_chars takes no plus sign and ignores the locale.
    const std::string_view unsignedText = s.front() == '+' ? s.substr(1) : s;
    const auto [end, ec] =
        std::from_chars(unsignedText.data(), unsignedText.data() + unsignedText.size(), value);
    if (ec == std::errc::result_out_of_range) {
        value = s.front() == '-' ? -HUGE_VAL : HUGE_VAL;  // out of every range
        return true;
    }
    return ec == std::errc{} && end == unsignedText.data() + unsignedText.size();
}

}  // namespace

// A whole-number option within lo..hi.
int requireWhole(const std::string& text, const char* option, int lo, int hi) {
    const auto v = parseWhole(text);
    if (!v) {
        throw InputError(std::string(option) + " \"" + shown(text) +
                         "\" is not a whole number (decimal digits, like " + std::to_string(lo) +
                         ")");
    }
    if (*v < lo || *v > hi) {
        throw InputError(std::string(option) + " " + shown(text) + " is outside " +
                         std::to_string(lo) + ".." + std::to_string(hi));
    }
    return static_cast<int>(*v);
}

// A coordinate in any written form the settings frame takes, within the
// frame's limits (89:59, 179:59); the message says what is wrong with it.
Coordinate parseCoordinate(std::string_view text, const char* what, places::Axis axis) {
    const int maxDegrees = axis == places::Axis::Latitude ? 89 : 179;
    const char negative = axis == places::Axis::Latitude ? 'S' : 'W';
    const char* letters = axis == places::Axis::Latitude ? "N or S" : "E or W";
    char limitText[16];
    std::snprintf(limitText, sizeof limitText, "%d:59", maxDegrees);
    const places::ParsedCoordinate parsed = places::parseCoordinate(text, axis);
    Coordinate c;
    const std::string quoted = std::string(what) + " \"" + shown(text) + "\"";
    switch (parsed.error) {
        case places::CoordinateError::None:
            if (std::fabs(parsed.degrees) > maxDegrees + 59.0 / 60.0 + 1e-9)
                c.error = quoted + " is beyond " + limitText;
            else
                c.degrees = parsed.degrees;
            break;
        case places::CoordinateError::WrongLetter:
            c.error = quoted + " needs the hemisphere letter " + letters;
            break;
        case places::CoordinateError::TwoSigns:
            c.error = quoted + " has both a sign and a hemisphere letter: give one of them";
            break;
        case places::CoordinateError::MinutesOver:
            c.error = quoted + " has minutes over 59";
            break;
        case places::CoordinateError::OutOfRange:
            c.error = quoted + " is beyond " + limitText;
            break;
        case places::CoordinateError::Empty:
        case places::CoordinateError::Unreadable:
            c.error = std::string("invalid ") + quoted +
                      ": use degrees:minutes and a hemisphere letter (e.g. \"33:52" + negative +
                      "\"), degrees and minutes as written (\"33°52'" + negative +
                      "\") or decimal degrees";
            break;
    }
    return c;
}

std::string isoDate(Date d) {
    const YearMonthDay ymd = d.ymd();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", ymd.year, ymd.month, ymd.day);
    return buf;
}

// ---------------------------------------------------------------------------
// The location every command shares

void addPlaceOptions(CLI::App* cmd, Place& p, bool withCoordinates) {
    if (withCoordinates) {
        cmd->add_option("--lat", p.latText,
                        "Latitude: \"33:52S\" (degrees:minutes and N/S) or decimal degrees, north "
                        "positive");
        cmd->add_option("--lon", p.lonText,
                        "Longitude: \"151:13E\" (degrees:minutes and E/W) or decimal degrees, east "
                        "positive");
    }
    CLI::Option* tz =
        cmd->add_option("--tz", p.tzOption,
                        "Time zone in hours east of Greenwich, -12..13 (\"10\", \"-5\", \"9.5\")");
    CLI::Option* tzName =
        cmd->add_option("--tz-name", p.tzName,
                        "Time zone by name (\"Australia/Sydney\"): each date with its own "
                        "offset, daylight saving included");
    tz->excludes(tzName);
    cmd->add_option("--location", p.location,
                    "A location saved in Moonbite, by name (instead of --lat, --lon and --tz)");
    cmd->add_option("--place", p.placeName,
                    "A town by name from the list of places (\"Key West\", \"Westport WA\"): "
                    "its coordinates and named zone, instead of --lat, --lon and --tz");
    cmd->add_option("--settings-dir", p.settingsDir,
                    "Folder of Moonbite's settings (default: ~/.config/Moonbite)");
}

namespace {

// A settings file that cannot be used is said so; its defaults would
// silently stand in for the user's place.
void requireReadable(const storage::IniFile& file, const std::string& path) {
    if (file.problem() != storage::IniProblem::None) {
        throw InputError("the settings file " + shown(path) +
                         " cannot be read: " + shown(file.reason()));
    }
}

// Where a stored value comes from, for messages.
struct StoredPlace {
    std::string owner;  // "the current location" or "the saved location \"X\""
    std::string advice;
};

// A stored text read as the program reads a number: blanks around it allowed,
// an optional sign, decimal digits with a point or an exponent; never hex.
std::optional<double> storedDecimal(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return std::nullopt;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return v;
}

// One stored number, finite and within lo..hi; the error names the key and
// the value exactly as stored.
double storedNumber(const std::string& text, const char* key, const char* meaning, double lo,
                    double hi, const StoredPlace& from) {
    const auto v = storedDecimal(text);
    if (!v || !std::isfinite(*v) || *v < lo || *v > hi) {
        std::ostringstream m;
        m << from.owner << " has " << key << " \"" << shown(text) << "\": " << meaning
          << " must be a number in " << lo << ".." << hi << "; " << from.advice;
        throw InputError(m.str());
    }
    return *v;
}

// Degrees and minutes as the settings frame stores them, checked as it checks them.
double storedCoordinate(const std::string& deg, const std::string& min, bool negative,
                        int maxDegrees, const char* degKey, const char* minKey, const char* what,
                        const StoredPlace& from) {
    const std::string degMeaning = std::string(what) + " degrees";
    const std::string minMeaning = std::string(what) + " minutes";
    const double d = storedNumber(deg, degKey, degMeaning.c_str(), 0, maxDegrees, from);
    const double m = storedNumber(min, minKey, minMeaning.c_str(), 0, 59, from);
    const double v = d + m / 60;
    return negative ? -v : v;
}

// Fills the place from the program's stored current location or a saved one,
// read without Qt. Defaults are the program's: a saved location's section
// defaults to the southern and eastern hemispheres, the current location's
// keys to the northern and western; the zone to 13.
void placeFromSettings(Place& p, bool withCoordinates, Date today) {
    const storage::StoredPlaces stored(p.settingsDir);
    storage::LocationValues v;
    StoredPlace from;
    std::string south = "N";
    std::string west = "W";
    if (!p.location.empty()) {
        requireReadable(stored.titleFile(), stored.titlePath());
        if (!stored.isSavedLocation(p.location))
            throw InputError("no saved location is named \"" + shown(p.location) + "\"");
        v = stored.savedLocation(p.location);
        south = "S";
        west = "E";
        from = {"the saved location \"" + shown(p.location) + "\"",
                "correct it in Moonbite (Settings > Program Settings, Save)"};
    } else {
        requireReadable(stored.stateFile(), stored.statePath());
        v = stored.currentLocation();
        if (v.latdeg.value_or("").empty()) {
            throw InputError(std::string("no location is stored yet: set one in Moonbite "
                                         "(Settings > Program Settings), or give ") +
                             (withCoordinates ? "--lat, --lon and --tz" : "--tz"));
        }
        from = {"the current location",
                "correct it in Moonbite (Settings > Program Settings, Apply)"};
    }
    p.lat =
        storedCoordinate(v.latdeg.value_or("0"), v.latmin.value_or("0"),
                         v.NorS.value_or(south) == "S", 89, "latdeg", "latmin", "latitude", from);
    p.lon =
        storedCoordinate(v.londeg.value_or("0"), v.lonmin.value_or("0"),
                         v.WorE.value_or(west) == "W", 179, "londeg", "lonmin", "longitude", from);
    p.tz = storedNumber(v.gmt.value_or("13"), "gmt", "the time zone", -12, 13, from);

    // The zone followed by date, as the program follows it: the place's named
    // zone (an unknown name reads as none), else, for the current location, the
    // computer's zone while the stored zone is the computer's ("custom" False)
    // and "Auto Daylight Savings Adjust" is on.
    const std::optional<std::string> name =
        p.location.empty() ? stored.stateSetting("tzname")
                           : stored.titleFile().get(storage::locationSection(p.location), "tzname");
    if (name && isZoneDatabaseName(*name)) p.rule = zoneNamed(*name);
    if (!p.rule && p.location.empty()) {
        const std::string custom = stored.stateSetting("custom").value_or("False");
        const bool isCustom = custom == "True" || custom == "true" || custom == "TRUE" ||
                              (storedDecimal(custom).value_or(0) != 0);
        const bool adjust =
            storage::wholeNumberSetting(stored.stateSetting("daylight")).value_or(1) == 1;
        if (!isCustom && adjust) {
            auto local = computerZone();
            if (local->hoursOn(today) == p.tz) p.rule = std::move(local);
        }
    }
    if (p.rule) p.tz = p.rule->hoursOn(today);
}

// A zone of the system's database by name; its offset today stands for it
// where one offset is printed.
void followZoneNamed(Place& p, const std::string& name, Date today) {
    // Only names of the database: a path (a FIFO, /etc/localtime) is never opened.
    if (isZoneDatabaseName(name)) p.rule = zoneNamed(name);
    if (!p.rule) {
        throw InputError("unknown time zone \"" + shown(name) +
                         "\": give a name of the system's zone database, like Australia/Sydney "
                         "or America/New_York");
    }
    p.tz = p.rule->hoursOn(today);
}

// The town the list of places ranks first for the name, in whole minutes as
// the settings frame holds it, with its named zone.
void placeFromList(Place& p, Date today) {
    const places::Gazetteer& list = placeList();
    const std::vector<std::size_t> hits = list.search(p.placeName, 1);
    if (hits.empty()) {
        std::string message = "no place in the list is called \"" + shown(p.placeName) + "\"";
        const std::string near = nearNames(list, p.placeName);
        message += near.empty() ? " (moonbite-cli places QUERY lists the names)" : near;
        throw InputError(message);
    }
    const places::PlaceRecord& town = list.place(hits[0]);
    p.lat = wholeMinutes(town.latitude, places::Axis::Latitude);
    p.lon = wholeMinutes(town.longitude, places::Axis::Longitude);
    p.placeLabel = placeLabel(list, town);
    const std::string zone(town.zone);
    if (isZoneDatabaseName(zone)) p.rule = zoneNamed(zone);
    if (!p.rule) {
        throw MissingData("the zone " + shown(zone) + " of " + p.placeLabel +
                          " is not in this computer's zone database");
    }
    p.tz = p.rule->hoursOn(today);
}

}  // namespace

const places::Gazetteer& placeList() {
    static std::optional<places::Gazetteer> list;
    if (!list) {
        const std::string path = places::defaultTablePath();
        std::string error;
        list = places::Gazetteer::load(path, &error);
        if (!list) {
            throw MissingData("the list of places cannot be read: " + shown(error) +
                              " (set MOONBITE_PLACES to the file places.tsv.gz)");
        }
    }
    return *list;
}

std::string placeLabel(const places::Gazetteer& list, const places::PlaceRecord& town) {
    std::string label(town.name);
    if (const std::string_view region = list.regionName(town); !region.empty())
        label += ", " + std::string(region);
    label += ", " + std::string(list.countryName(town));
    return label;
}

std::string nearNames(const places::Gazetteer& list, std::string_view name) {
    std::string text;
    const std::vector<std::size_t> near = list.suggestions(name, 3);
    for (std::size_t k = 0; k < near.size(); ++k) {
        text += k == 0 ? "; did you mean " : k + 1 == near.size() ? " or " : ", ";
        text += "\"" + placeLabel(list, list.place(near[k])) + "\"";
    }
    return text;
}

double wholeMinutes(double degrees, places::Axis axis) {
    const places::DegreesMinutes dm = places::toDegreesMinutes(degrees, axis);
    const double v = dm.degrees + dm.minutes / 60.0;
    return dm.letter == 'S' || dm.letter == 'W' ? -v : v;
}

void validatePlace(Place& p, bool withCoordinates, Date today) {
    const bool zoneGiven = p.tzOption.has_value() || p.tzName.has_value();
    const bool anyGiven = !p.latText.empty() || !p.lonText.empty() || zoneGiven;
    const bool allGiven =
        zoneGiven && (!withCoordinates || (!p.latText.empty() && !p.lonText.empty()));
    if (!p.placeName.empty()) {
        if (!p.location.empty() || anyGiven)
            throw InputError("give --place alone: it names the coordinates and the zone");
        placeFromList(p, today);
        return;
    }
    if (!p.location.empty() && anyGiven) {
        throw InputError("give either --location or the coordinates, not both");
    }
    if (!p.location.empty() || !anyGiven) {
        placeFromSettings(p, withCoordinates, today);
        return;
    }
    if (!allGiven) {
        throw InputError(withCoordinates
                             ? "give --lat, --lon and --tz (or --tz-name) together (or none of "
                               "them to use the location stored in Moonbite)"
                             : "give --tz or --tz-name (or leave it out to use the stored zone)");
    }
    if (withCoordinates) {
        const Coordinate lat = parseLatitude(p.latText);
        if (!lat.error.empty()) throw InputError(lat.error);
        const Coordinate lon = parseLongitude(p.lonText);
        if (!lon.error.empty()) throw InputError(lon.error);
        p.lat = lat.degrees;
        p.lon = lon.degrees;
    }
    if (p.tzName) {
        followZoneNamed(p, *p.tzName, today);
        return;
    }
    const std::string& zone = *p.tzOption;
    if (!parseDecimal(zone, p.tz) || p.tz < -12 || p.tz > 13) {
        throw InputError("time zone \"" + shown(zone) +
                         "\" is not a number of hours in -12..13 (write it like 10, -5 or 9.5)");
    }
}

// How the Qt module is told which zone to follow by date.
std::string zoneNameFor(const Place& p) {
    if (!p.rule) return {};
    return p.rule->name().empty() ? std::string(kComputerZone) : p.rule->name();
}

SolunarState makeState(const Place& p, Date today) {
    SolunarState s = stateFor(p.lat, p.lon, p.tz, today);
    s.zoneRule = p.rule.get();
    return s;
}

Date requireDate(const std::string& text, const char* option) {
    const auto d = parseIsoDate(text);
    if (!d) {
        throw InputError(std::string(option) + " \"" + shown(text) +
                         "\" is not a date in YYYY-MM-DD form between 1901-01-01 and 2200-12-31");
    }
    return *d;
}

// ---------------------------------------------------------------------------
// The displayed day

Json dayJson(const SolunarState& s, Date date, bool withGraph) {
    Json j;
    j["date"] = isoDate(date);
    j["weekday"] = s.Label10.str();
    j["equinox_solstice"] = s.Label19.visible ? s.Label19.caption.str() : "";
    j["sunrise"] = s.Text2.str();
    j["sunset"] = s.Text32.str();
    j["day_length"] = s.Text6.str();
    j["moonrise"] = s.Text21.str();
    j["moonset"] = s.Text39.str();
    j["major_moon_above"] = s.Text4.str();
    j["major_moon_below"] = s.Text5.str();
    j["minor_moon_above"] = s.Text7.str();
    j["minor_moon_below"] = s.Text8.str();
    j["moon_age"] = s.moonAge;
    j["phase_picture"] = s.Image3;
    j["phase_event"] = s.Label14.visible ? s.Label14.caption.str() : "";
    j["phase_event_time"] = s.Label18.visible ? s.Label18.caption.str() : "";
    j["prediction_score"] = s.predictionScore;
    j["prediction_word"] = s.predictionWord.str();
    j["prediction_colour"] = s.Picture2BackColor;
    j["lunar_distance_km"] = static_cast<long>(Val(s.Label13));
    // The offset the day's times are in, and whether the clocks change that day.
    const double offset = Val(s.timeZoneEntered);
    if (offset == std::floor(offset))
        j["utc_offset"] = static_cast<int>(offset);
    else
        j["utc_offset"] = offset;
    j["clock_change"] = !s.LabelClockChange.visible                         ? ""
                        : s.LabelClockChange.caption == "Clocks go forward" ? "forward"
                                                                            : "back";
    if (withGraph) {
        Json rows = Json::array();
        for (int i = 0; i < s.graphRowCount; ++i) {
            const GraphRow& r = s.graphRows[static_cast<std::size_t>(i)];
            rows.push_back(Json::array({r.label.str(), r.value}));
        }
        j["graph"] = std::move(rows);
    }
    return j;
}

void computeDay(SolunarState& s, Date date, int graphDays) {
    s.plottedDayCount = static_cast<std::int16_t>(graphDays);
    setDateControls(s, date);
    computeDisplayedDay(s);
}

namespace {

void printAligned(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
    std::size_t width = 0;
    for (const auto& [label, value] : rows)
        width = std::max(width, label.size());
    for (const auto& [label, value] : rows) {
        out << std::left << std::setw(static_cast<int>(width + 2)) << label << value << '\n';
    }
}

std::string placeText(const Place& p) {
    std::ostringstream o;
    auto dm = [](double v, char pos, char neg) {
        const double a = std::fabs(v);
        int deg = static_cast<int>(a);
        int min = static_cast<int>(std::lround((a - deg) * 60));
        if (min == 60) {
            ++deg;
            min = 0;
        }
        char buf[24];
        std::snprintf(buf, sizeof buf, "%d:%02d%c", deg, min, v < 0 ? neg : pos);
        return std::string(buf);
    };
    if (!p.placeLabel.empty()) o << p.placeLabel << ", ";
    o << dm(p.lat, 'N', 'S') << ' ' << dm(p.lon, 'E', 'W') << ", ";
    if (p.rule && !p.rule->name().empty()) o << p.rule->name() << ", ";
    o << "GMT " << (p.tz >= 0 ? "+" : "") << p.tz;
    if (p.rule) o << " today";
    return o.str();
}

}  // namespace

void printDayText(std::ostream& out, const SolunarState& s, const Place& p) {
    const Json j = dayJson(s, parseDateText(s.displayedDateText).value_or(s.computationDate), true);
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Date", s.Label10.str() + " " + s.displayedDateText.str() +
                     (s.Label19.visible ? "  (" + s.Label19.caption.str() + ")" : "")},
        {"Location", placeText(p)},
        {"Sunrise", s.Text2.str()},
        {"Sunset", s.Text32.str()},
        {"Length of day", s.Text6.str()},
        {"Moonrise", s.Text21.str()},
        {"Moonset", s.Text39.str()},
        {"Major, Moon above", s.Text4.str()},
        {"Major, Moon below", s.Text5.str()},
        {"Minor, Moon above", s.Text7.str()},
        {"Minor, Moon below", s.Text8.str()},
        {"Moon age", s.Text9.str() + " days (picture " + std::to_string(s.Image3) + ")"},
    };
    if (s.Label14.visible) rows.emplace_back(s.Label14.caption.str(), s.Label18.caption.str());
    rows.emplace_back("Prediction",
                      s.predictionWord.str() + " (" + std::to_string(s.predictionScore) + "%)");
    rows.emplace_back("Lunar distance", s.Label13.str() + " km");
    printAligned(out, rows);
    out << "\nPrediction graph\n";
    for (int i = 0; i < s.graphRowCount; ++i) {
        const GraphRow& r = s.graphRows[static_cast<std::size_t>(i)];
        const std::string word(predictionRating(r.value).word);
        out << "  " << std::left << std::setw(6) << r.label.str() << std::right << std::setw(4)
            << r.value << "  " << std::left << std::setw(10) << word
            << std::string(static_cast<std::size_t>(r.value / 10), '#') << '\n';
    }
}

// ---------------------------------------------------------------------------
// Range output

const std::vector<std::string>& rangeColumns() {
    static const std::vector<std::string> kColumns = {"date",
                                                      "weekday",
                                                      "equinox_solstice",
                                                      "sunrise",
                                                      "sunset",
                                                      "day_length",
                                                      "moonrise",
                                                      "moonset",
                                                      "major_moon_above",
                                                      "major_moon_below",
                                                      "minor_moon_above",
                                                      "minor_moon_below",
                                                      "moon_age",
                                                      "phase_picture",
                                                      "phase_event",
                                                      "phase_event_time",
                                                      "prediction_score",
                                                      "prediction_word",
                                                      "prediction_colour",
                                                      "lunar_distance_km",
                                                      "utc_offset",
                                                      "clock_change"};
    return kColumns;
}

// ---------------------------------------------------------------------------
// Month output

Json monthJson(int year, int month, int firstWeekday, const std::vector<MonthCell>& cells) {
    Json j;
    j["year"] = year;
    j["month"] = month;
    j["first_weekday"] = firstWeekday;
    Json days = Json::array();
    for (const MonthCell& c : cells) {
        Json d;
        d["day"] = c.day;
        d["stars"] = c.stars.str();
        d["phase_event"] = c.newMoon ? "New Moon" : c.fullMoon ? "Full Moon" : "";
        d["phase_event_time"] = c.newMoon    ? c.newMoonTime.str()
                                : c.fullMoon ? c.fullMoonTime.str()
                                             : "";
        d["sun_line"] = c.sunLine.str();
        d["moon_line"] = c.moonLine.str();
        d["major_line"] = c.majorLine.str();
        d["minor_line"] = c.minorLine.str();
        d["clock_change"] = c.clockChange > 0 ? "forward" : c.clockChange < 0 ? "back" : "";
        days.push_back(std::move(d));
    }
    j["days"] = std::move(days);
    return j;
}

void printMonthText(std::ostream& out, int year, int month, const Place& p,
                    const std::vector<MonthCell>& cells) {
    static constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    out << englishMonthName(month) << ' ' << year << "  " << placeText(p) << "\n\n";
    std::vector<std::vector<std::string>> table = {
        {"Day", "", "Stars", "Phase", "Major", "Minor", "Sun", "Moon"}};
    for (const MonthCell& c : cells) {
        const Date d = *Date::fromYmd(year, month, c.day);
        std::string phase;
        if (c.newMoon) phase = "New Moon " + c.newMoonTime.str();
        if (c.fullMoon) phase = "Full Moon " + c.fullMoonTime.str();
        table.push_back({std::to_string(c.day), kWeekdays[d.weekday() - 1], c.stars.str(), phase,
                         c.majorLine.str(), c.minorLine.str(), c.sunLine.str(), c.moonLine.str()});
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& row : table) {
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    for (const auto& row : table) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string cell = row[i];
            if (i == 0)
                cell.insert(0, widths[i] - cell.size(), ' ');  // day numbers right-aligned
            else if (i + 1 < row.size())
                cell.resize(widths[i], ' ');
            line += cell;
            if (i + 1 < row.size()) line += "  ";
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << '\n';
    }
}

// The calendar options saved by the program when it last printed; a value
// that is not a whole number takes the program's default.
MonthCellOptions storedCalendarOptions(const std::string& settingsDir) {
    const storage::StoredPlaces stored(settingsDir);
    requireReadable(stored.titleFile(), stored.titlePath());
    const storage::CalendarOptionValues v = stored.calendarOptions();
    auto on = [](const std::optional<std::string>& text, int byDefault) {
        return storage::wholeNumberSetting(text).value_or(byDefault) == 1;
    };
    MonthCellOptions o;
    o.prediction = on(v.Prediction, 1);
    o.newFull = on(v.Newfull, 0);
    o.sunrise = on(v.Sunrise, 0);
    o.moonrise = on(v.Moonrise, 0);
    o.majorMinor = on(v.Majorminor, 1);
    return o;
}

// A comma-separated list of options; an empty list chooses none.
MonthCellOptions calendarOptions(const std::string& list) {
    MonthCellOptions o{false, false, false, false, false};
    if (list.empty()) return o;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        start = comma + 1;
        std::string_view trimmed = item;
        while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.front())))
            trimmed.remove_prefix(1);
        while (!trimmed.empty() && std::isspace(static_cast<unsigned char>(trimmed.back())))
            trimmed.remove_suffix(1);
        std::string name;
        for (char c : trimmed)
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "prediction")
            o.prediction = true;
        else if (name == "newfull")
            o.newFull = true;
        else if (name == "sunrise")
            o.sunrise = true;
        else if (name == "moonrise")
            o.moonrise = true;
        else if (name == "majorminor")
            o.majorMinor = true;
        else
            throw InputError("unknown calendar option \"" + shown(item) +
                             "\" (use prediction, newfull, sunrise, moonrise, majorminor)");
    }
    return o;
}

Coordinate parseLatitude(std::string_view text) {
    return parseCoordinate(text, "latitude", places::Axis::Latitude);
}

Coordinate parseLongitude(std::string_view text) {
    return parseCoordinate(text, "longitude", places::Axis::Longitude);
}

std::optional<Date> parseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int y = 0;
    int m = 0;
    int d = 0;
    if (!parseUnsigned(text.substr(0, 4), y) || !parseUnsigned(text.substr(5, 2), m) ||
        !parseUnsigned(text.substr(8, 2), d))
        return std::nullopt;
    if (y < 1901 || y > 2200) return std::nullopt;
    return Date::fromYmd(y, m, d);
}

}  // namespace moonbite::cli
