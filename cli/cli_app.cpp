#include "cli_app.h"

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
#include "day_driver.h"
#include "ics_command.h"
#include "month_calendar.h"
#include "qt_commands.h"
#include "stored_places.h"
#include "zone_rules.h"

namespace moonbite::cli {
namespace {

// ---------------------------------------------------------------------------
// Input parsing

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

// "DD:MM" followed by one of two hemisphere letters, or signed decimal degrees.
Coordinate parseCoordinate(std::string_view text, const char* what, int maxDegrees, char positive,
                           char negative) {
    Coordinate c;
    const double limit = maxDegrees + 59.0 / 60.0;
    char limitText[16];
    std::snprintf(limitText, sizeof limitText, "%d:59", maxDegrees);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        double v = 0;
        if (!parseDecimal(text, v)) {
            c.error = std::string("invalid ") + what + " \"" + shown(text) +
                      "\": use degrees:minutes and a hemisphere letter (e.g. \"33:52" + negative +
                      "\") or decimal degrees";
        } else if (std::fabs(v) > limit + 1e-9) {
            c.error = std::string(what) + " \"" + shown(text) + "\" is beyond " + limitText;
        } else {
            c.degrees = v;
        }
        return c;
    }
    const std::string_view degText = text.substr(0, colon);
    std::string_view rest = text.substr(colon + 1);
    char letter = rest.empty()
                      ? '\0'
                      : static_cast<char>(std::toupper(static_cast<unsigned char>(rest.back())));
    if (letter == positive || letter == negative) rest.remove_suffix(1);
    int deg = 0;
    int min = 0;
    if (letter != positive && letter != negative) {
        c.error = std::string(what) + " \"" + shown(text) + "\" needs the hemisphere letter " +
                  positive + " or " + negative;
    } else if (!parseUnsigned(degText, deg) || !parseUnsigned(rest, min)) {
        c.error = std::string("invalid ") + what + " \"" + shown(text) +
                  "\": use degrees:minutes and a hemisphere letter";
    } else if (min > 59) {
        c.error = std::string(what) + " \"" + shown(text) + "\" has minutes over 59";
    } else if (deg > maxDegrees) {
        c.error = std::string(what) + " \"" + shown(text) + "\" is beyond " + limitText;
    } else {
        c.degrees = deg + min / 60.0;
        if (letter == negative) c.degrees = -c.degrees;
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

struct Place {
    std::string latText;
    std::string lonText;
    std::optional<std::string> tzOption;
    std::optional<std::string> tzName;  ///< --tz-name
    std::string location;
    std::string settingsDir;
    double tz = 0;  ///< the zone's offset today when it follows a rule
    double lat = 0;
    double lon = 0;
    /// The zone followed by date: --tz-name, the stored "tzname", or the
    /// computer's zone when the stored place follows it.
    std::shared_ptr<const NamedZoneRule> rule;
};

// The run's "today" (the injected clock): a zone followed by date shows its
// offset of today where one offset is printed.
Date runToday;

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
    cmd->add_option("--settings-dir", p.settingsDir,
                    "Folder of Moonbite's settings (default: ~/.config/Moonbite)");
}

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
void placeFromSettings(Place& p, bool withCoordinates) {
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
            if (local->hoursOn(runToday) == p.tz) p.rule = std::move(local);
        }
    }
    if (p.rule) p.tz = p.rule->hoursOn(runToday);
}

// A zone of the system's database by name; its offset today stands for it
// where one offset is printed.
void followZoneNamed(Place& p, const std::string& name) {
    // Only names of the database: a path (a FIFO, /etc/localtime) is never opened.
    if (isZoneDatabaseName(name)) p.rule = zoneNamed(name);
    if (!p.rule) {
        throw InputError("unknown time zone \"" + shown(name) +
                         "\": give a name of the system's zone database, like Australia/Sydney "
                         "or America/New_York");
    }
    p.tz = p.rule->hoursOn(runToday);
}

void validatePlace(Place& p, bool withCoordinates) {
    const bool zoneGiven = p.tzOption.has_value() || p.tzName.has_value();
    const bool anyGiven = !p.latText.empty() || !p.lonText.empty() || zoneGiven;
    const bool allGiven =
        zoneGiven && (!withCoordinates || (!p.latText.empty() && !p.lonText.empty()));
    if (!p.location.empty() && anyGiven) {
        throw InputError("give either --location or the coordinates, not both");
    }
    if (!p.location.empty() || !anyGiven) {
        placeFromSettings(p, withCoordinates);
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
        followZoneNamed(p, *p.tzName);
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
    o << dm(p.lat, 'N', 'S') << ' ' << dm(p.lon, 'E', 'W') << ", ";
    if (p.rule && !p.rule->name().empty()) o << p.rule->name() << ", ";
    o << "GMT " << (p.tz >= 0 ? "+" : "") << p.tz;
    if (p.rule) o << " today";
    return o.str();
}

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

}  // namespace

Coordinate parseLatitude(std::string_view text) {
    return parseCoordinate(text, "latitude", 89, 'N', 'S');
}

Coordinate parseLongitude(std::string_view text) {
    return parseCoordinate(text, "longitude", 179, 'E', 'W');
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

namespace {

// The one line of an error that was not foreseen; writing it must not throw in turn.
// An option given an empty value ("--date ''") is bad input, never its
// default; only --options means something empty (no lines in the cells).
void refuseEmptyValues(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->count() == 0 || option->get_type_size() == 0) continue;
        const std::vector<std::string> names = option->get_lnames();
        if (names.empty() || names.front() == "options" || names.front() == "pdf") continue;
        for (const std::string& value : option->results())
            if (value.empty()) throw InputError("--" + names.front() + " needs a value");
    }
}

int failure(std::ostream& err, const std::string& message, int status = kFailure) {
    try {
        err << "moonbite-cli: " << message << '\n' << std::flush;
    } catch (...) {  // nowhere left to say it
    }
    return status;
}

int runCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               Date today) {
    runToday = today;
    CLI::App app{"moonbite-cli: solunar fishing times, Moon phases and predictions",
                 "moonbite-cli"};
    app.require_subcommand(1);

    // Numbers are taken as text and read as decimal here (see parseWhole).

    // Only the command asked for is defined (all of them for the general help
    // and for errors): setting up the parser costs more than computing a day.
    static constexpr std::array<std::string_view, 6> kCommands = {"day",    "month",   "range",
                                                                  "phases", "journal", "ics"};
    const std::string_view asked = argc > 1 ? std::string_view(argv[1]) : std::string_view();
    const bool known = std::find(kCommands.begin(), kCommands.end(), asked) != kCommands.end();
    auto wanted = [&](std::string_view name) { return !known || asked == name; };

    // day
    Place dayPlace;
    std::string dayDate;
    std::string graphDaysText = "15";
    bool reverseMoon = false;
    bool dayFirst = false;
    bool dayAsJson = false;
    CLI::App* day = nullptr;
    if (wanted("day")) {
        day = app.add_subcommand("day",
                                 "The whole solunar day of a date, as the main window shows it");
        addPlaceOptions(day, dayPlace, true);
        day->add_option("--date", dayDate, "Date as YYYY-MM-DD (1901..2200); default today");
        day->add_option("--graph-days", graphDaysText, "Days in the prediction graph, 2..60")
            ->default_str("15");
        day->add_flag("--reverse-moon", reverseMoon, "Use the reversed Moon picture set");
        day->add_flag("--day-first", dayFirst, "Graph labels day/month instead of month/day");
        day->add_flag("--json", dayAsJson, "Write JSON");
    }

    // month
    Place monthPlace;
    std::string yearText;
    std::string monthText;
    bool monthAsJson = false;
    std::string pdfPath;
    std::string optionList;
    CLI::App* monthCmd = nullptr;
    CLI::Option* pdfOption = nullptr;
    CLI::Option* optionsOption = nullptr;
    if (wanted("month")) {
        monthCmd =
            app.add_subcommand("month", "Every day of a month as the printed calendar shows it");
        addPlaceOptions(monthCmd, monthPlace, true);
        monthCmd->add_option("--year", yearText, "Year, 1901..2200")->required();
        monthCmd->add_option("--month", monthText, "Month, 1..12")->required();
        auto* monthJsonFlag = monthCmd->add_flag("--json", monthAsJson, "Write JSON");
        pdfOption = monthCmd->add_option("--pdf", pdfPath,
                                         "Write the printed calendar page to this PDF file");
        pdfOption->excludes(monthJsonFlag);
        optionsOption =
            monthCmd->add_option("--options", optionList,
                                 "What the cells show, a comma-separated list of prediction, "
                                 "newfull, sunrise, moonrise, majorminor (\"\" for none; "
                                 "default: everything, or with --pdf as last printed in Moonbite)");
    }

    // range
    Place rangePlace;
    std::string fromDate;
    std::string daysText;
    bool rangeJson = false;
    bool rangeCsv = false;
    CLI::App* range = nullptr;
    if (wanted("range")) {
        range = app.add_subcommand("range", "Consecutive days, for spreadsheets and scripts");
        addPlaceOptions(range, rangePlace, true);
        range->add_option("--from", fromDate, "First date as YYYY-MM-DD")->required();
        range->add_option("--days", daysText, "Number of days, 1..3660")->required();
        auto* jsonFlag = range->add_flag("--json", rangeJson, "Write JSON lines");
        auto* csvFlag = range->add_flag("--csv", rangeCsv, "Write CSV with a header row");
        jsonFlag->excludes(csvFlag);
    }

    // phases
    Place phasePlace;
    std::string phaseYearText;
    bool phasesJson = false;
    CLI::App* phases = nullptr;
    if (wanted("phases")) {
        phases = app.add_subcommand("phases", "The new and full moon table of a year");
        addPlaceOptions(phases, phasePlace, false);
        phases->add_option("--year", phaseYearText, "Year, 1901..2200")->required();
        phases->add_flag("--json", phasesJson, "Write JSON");
    }

    // journal
    Place journalPlace;
    std::string journalDir;
    bool journalJson = false;
    bool journalCsv = false;
    CLI::App* journal = nullptr;
    if (wanted("journal")) {
        journal = app.add_subcommand("journal",
                                     "Every fishing-journal entry with the Moon of its trip date");
        addPlaceOptions(journal, journalPlace, false);
        journal->add_option("--folder", journalDir,
                            "The journal folder (default: the one Moonbite uses)");
        auto* jJson = journal->add_flag("--json", journalJson, "Write JSON");
        auto* jCsv = journal->add_flag("--csv", journalCsv, "Write CSV with a header row");
        jJson->excludes(jCsv);
    }

    // ics
    Place icsPlace;
    IcsArguments icsArguments;
    CLI::App* ics = nullptr;
    if (wanted("ics")) {
        ics = app.add_subcommand("ics", "Fishing times as an iCalendar file for calendar programs");
        addPlaceOptions(ics, icsPlace, true);
        addIcsOptions(ics, icsArguments);
    }

    // CLI11 would only say that a command is required.
    if (argc > 1 && argv[1][0] != '-') {
        const std::string name = argv[1];
        const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
        if (std::none_of(commands.begin(), commands.end(),
                         [&](const CLI::App* c) { return c->get_name() == name; })) {
            err << "moonbite-cli: unknown command \"" << shown(name)
                << "\" (use day, month, range, phases, journal or ics)\n";
            return kUsageError;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "moonbite-cli: " << shown(std::string(e.what())) << '\n';
        return kUsageError;
    }

    try {
        for (const CLI::App* command : {day, monthCmd, range, phases, journal, ics})
            if (command != nullptr && command->parsed()) refuseEmptyValues(*command);
        if (day != nullptr && day->parsed()) {
            validatePlace(dayPlace, true);
            const int graphDays = requireWhole(graphDaysText, "--graph-days", 2, 60);
            const Date date = dayDate.empty() ? today : requireDate(dayDate, "--date");
            if (date.year() < 1901 || date.year() > 2200)
                throw InputError("today lies outside 1901..2200");
            SolunarState s = makeState(dayPlace, today);
            s.reverseMoonImage = !reverseMoon;
            s.dateOrderMonthFirst = !dayFirst;
            computeDay(s, date, graphDays);
            if (dayAsJson) {
                out << jsonText(dayJson(s, date, true), 2) << '\n';
            } else {
                printDayText(out, s, dayPlace);
            }
        } else if (monthCmd != nullptr && monthCmd->parsed()) {
            validatePlace(monthPlace, true);
            const int year = requireWhole(yearText, "--year", 1901, 2200);
            const int month = requireWhole(monthText, "--month", 1, 12);
            if (pdfOption->count() > 0 && pdfPath.empty())
                throw InputError("--pdf needs the name of the file to write");
            const bool optionsGiven = optionsOption->count() > 0;
            MonthCellOptions options;  // the text and JSON show everything unless told
            if (optionsGiven)
                options = calendarOptions(optionList);
            else if (!pdfPath.empty())
                options = storedCalendarOptions(monthPlace.settingsDir);
            if (!pdfPath.empty()) {
                checkOutputTarget(pdfPath);
                checkOutputFolder(pdfPath);
                MonthPdfRequest request;
                request.latitude = monthPlace.lat;
                request.longitude = monthPlace.lon;
                request.zone = monthPlace.tz;
                request.zoneName = zoneNameFor(monthPlace);
                request.year = year;
                request.month = month;
                request.options = options;
                request.path = pdfPath;
                request.today = today;
                const CommandResult r = qtCommands().writeMonthPdf(request);
                if (r.status != 0) return failure(err, r.message, r.status);
                out << "wrote " << pdfPath << '\n';
            } else {
                SolunarState s = makeState(monthPlace, today);
                std::vector<MonthCell> cells(static_cast<std::size_t>(daysInMonth(year, month)));
                for (std::size_t i = 0; i < cells.size(); ++i)
                    calcdata(s, year, month, static_cast<int>(i) + 1, options, cells[i]);
                const int firstWeekday = Date::fromYmd(year, month, 1)->weekday();
                if (monthAsJson)
                    out << jsonText(monthJson(year, month, firstWeekday, cells), 2) << '\n';
                else
                    printMonthText(out, year, month, monthPlace, cells);
            }
        } else if (range != nullptr && range->parsed()) {
            validatePlace(rangePlace, true);
            const Date from = requireDate(fromDate, "--from");
            const int days = requireWhole(daysText, "--days", 1, 3660);
            if ((from + (days - 1)).year() > 2200)
                throw InputError("the range runs past 2200-12-31");
            const SolunarState fresh = makeState(rangePlace, today);
            const auto& columns = rangeColumns();
            if (rangeCsv) {
                for (std::size_t i = 0; i < columns.size(); ++i)
                    out << (i ? "," : "") << columns[i];
                out << "\r\n";
            }
            for (int i = 0; i < days && out; ++i) {
                // Each day on a fresh state, so that it reads exactly as `day` gives it.
                SolunarState s = fresh;
                const Date date = from + i;
                computeDay(s, date, 0);
                const Json j = dayJson(s, date, false);
                if (rangeCsv) {
                    for (std::size_t c = 0; c < columns.size(); ++c)
                        out << (c ? "," : "") << csvField(j[columns[c]]);
                    out << "\r\n";
                } else if (rangeJson) {
                    out << jsonText(j, -1) << '\n';
                } else {
                    out << j["date"].get<std::string>() << "  " << std::left << std::setw(9)
                        << s.Label10.str() << "  sun " << s.Text2.str() << " - " << s.Text32.str()
                        << "  moon " << s.Text21.str() << " - " << s.Text39.str() << "  age "
                        << std::right << std::setw(2) << s.moonAge << "  " << s.predictionWord.str()
                        << '\n';
                }
            }
        } else if (ics != nullptr && ics->parsed()) {
            validatePlace(icsPlace, true);
            const CommandResult r = runIcs(
                icsArguments, makeState(icsPlace, today), icsPlace.lat, icsPlace.lon, today,
                [](SolunarState& s, Date date) { computeDay(s, date, 0); }, out);
            if (r.status != 0) return failure(err, r.message, r.status);
        } else if (journal != nullptr && journal->parsed()) {
            validatePlace(journalPlace, false);
            JournalRequest request;
            request.folder = journalDir;
            request.zone = journalPlace.tz;
            request.zoneName = zoneNameFor(journalPlace);
            request.json = journalJson;
            request.csv = journalCsv;
            request.today = today;
            std::string listing;
            const CommandResult r = qtCommands().listJournal(request, listing);
            if (r.status != 0) return failure(err, r.message, r.status);
            out << listing;
        } else if (phases != nullptr && phases->parsed()) {
            validatePlace(phasePlace, false);
            const int phaseYear = requireWhole(phaseYearText, "--year", 1901, 2200);
            SolunarState s = makeState(phasePlace, today);
            const Date firstDay = *Date::fromYmd(phaseYear, 1, 1);
            useZoneOf(s, firstDay);
            s.computationDate = firstDay;
            calcmoontime(s);
            const SolunarState table = s;
            Json entries = Json::array();
            for (int i = 0; i < kPhaseTableSize; ++i) {
                const auto idx = static_cast<std::size_t>(i);
                const bool isNew = i % 2 == 0;
                auto dateOf = [&](const SolunarState& t) {
                    return isNew ? t.phases.newMoonDate[idx] : t.phases.fullMoonDate[idx];
                };
                // A zone followed by date gives each new or full moon by the
                // clocks of its own day: the table in that day's offset.
                s = table;
                const Date built = dateOf(s);
                if (built != Date{}) {
                    useZoneOf(s, built);
                    if (s.timeZoneEntered != table.timeZoneEntered) calcmoontime(s);
                }
                const Date d = dateOf(s);
                const std::string time =
                    isNew ? s.phases.newMoonTime[idx].str() : s.phases.fullMoonTime[idx].str();
                if (phasesJson) {
                    entries.push_back(Json{{"index", i},
                                           {"kind", isNew ? "new" : "full"},
                                           {"date", isoDate(d)},
                                           {"time", time}});
                } else {
                    out << std::right << std::setw(2) << i << "  " << std::left << std::setw(9)
                        << (isNew ? "New Moon" : "Full Moon") << "  " << isoDate(d) << "  " << time
                        << '\n';
                }
            }
            if (phasesJson) out << jsonText(Json{{"entries", entries}}, 2) << '\n';
        }
    } catch (const InputError& e) {
        err << "moonbite-cli: " << e.what() << '\n';
        return kUsageError;
    } catch (const WriteError& e) {
        return failure(err, e.what());
    }
    return 0;
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Date today) {
    try {
        const int status = runCommand(argc, argv, out, err, today);
        // Output that never arrived is a failure, however well the rest went.
        errno = 0;
        out.flush();
        if (!out) {
            const int e = errno;
            return failure(err, std::string("cannot write the output") +
                                    (e != 0 ? std::string(": ") + std::strerror(e) : ""));
        }
        return status;
    } catch (const std::bad_alloc&) {
        return failure(err, "out of memory");
    } catch (const std::exception& e) {
        return failure(err, "internal error: " + shown(std::string(e.what())));
    } catch (...) {
        return failure(err, "internal error of an unknown kind");
    }
}

}  // namespace moonbite::cli
