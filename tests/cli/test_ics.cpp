// moonbite-cli ics, run as the real program: the file read back with libical
// (and with python3-icalendar where it is installed) holds one event for each
// time the `range` command shows for the same days, at that time in UTC.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libical/ical.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/moonbite-ics-test-XXXXXX";
        path_ = mkdtemp(pattern) != nullptr ? pattern : "";
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

Result runProgram(const std::string& program, const std::vector<std::string>& args) {
    TempDir dir;
    const std::string outPath = dir.path() / "out";
    const std::string errPath = dir.path() / "err";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    Result r;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    r.out = slurp(outPath);
    r.err = slurp(errPath);
    return r;
}

Result cli(const std::vector<std::string>& args) {
    return runProgram(MOONBITE_CLI_PATH, args);
}

// ---------------------------------------------------------------------------
// The file as libical reads it

struct Event {
    std::string uid;
    std::string summary;
    std::string start;  // YYYYMMDDTHHMMSSZ, or YYYYMMDD for a whole day
    std::string end;    // empty without DTEND
    std::string categories;
    std::time_t startUtc = 0;
    std::time_t endUtc = 0;

    // The same line check_ics.py prints.
    [[nodiscard]] std::string line() const {
        return uid + "|" + summary + "|" + start + "|" + end + "|" + categories;
    }
};

std::string timeText(icaltimetype t) {
    char buf[32];
    if (t.is_date) {
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
    } else {
        std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d%s", t.year, t.month, t.day,
                      t.hour, t.minute, t.second, icaltime_is_utc(t) ? "Z" : "");
    }
    return buf;
}

std::vector<Event> parseIcs(const std::string& text) {
    std::vector<Event> events;
    icalcomponent* cal = icalparser_parse_string(text.c_str());
    EXPECT_NE(cal, nullptr) << "libical cannot parse the file";
    if (cal == nullptr) return events;
    EXPECT_EQ(icalcomponent_isa(cal), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalcomponent_count_errors(cal), 0);
    for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT);
         ev != nullptr; ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        Event e;
        e.uid = icalcomponent_get_uid(ev);
        e.summary = icalcomponent_get_summary(ev);
        const icaltimetype start = icalcomponent_get_dtstart(ev);
        e.start = timeText(start);
        e.startUtc = icaltime_as_timet_with_zone(start, icaltimezone_get_utc_timezone());
        if (icalcomponent_get_first_property(ev, ICAL_DTEND_PROPERTY) != nullptr) {
            const icaltimetype end = icalcomponent_get_dtend(ev);
            e.end = timeText(end);
            e.endUtc = icaltime_as_timet_with_zone(end, icaltimezone_get_utc_timezone());
        }
        for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_CATEGORIES_PROPERTY);
             p != nullptr; p = icalcomponent_get_next_property(ev, ICAL_CATEGORIES_PROPERTY)) {
            if (!e.categories.empty()) e.categories += ",";
            e.categories += icalproperty_get_categories(p);
        }
        events.push_back(e);
    }
    icalcomponent_free(cal);
    return events;
}

std::map<std::string, Event> byUid(const std::vector<Event>& events) {
    std::map<std::string, Event> m;
    for (const Event& e : events)
        EXPECT_TRUE(m.emplace(e.uid, e).second) << "two events share the UID " << e.uid;
    return m;
}

// The file without its DTSTAMP lines, which carry the time it was made.
std::string withoutStamps(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::string kept;
    while (std::getline(in, line))
        if (line.rfind("DTSTAMP:", 0) != 0) kept += line + "\n";
    return kept;
}

// ---------------------------------------------------------------------------
// The days as `range` gives them

struct Place {
    const char* name;
    const char* lat;
    const char* lon;
    const char* tz;
    double zoneHours;
    const char* key;               // the place part of the UIDs
    const char* tzName = nullptr;  // instead of tz: the zone by date
};

const Place kSydney{"Sydney +10", "33:52S", "151:13E", "10", 10, "3352S15113E"};
const Place kCapeCod{"Cape Cod -5", "41:30N", "70:15W", "-5", -5, "4130N07015W"};
const Place kDarwin{"Darwin 9.5", "12:28S", "130:50E", "9.5", 9.5, "1228S13050E"};
const Place kTromso{"Tromso +1", "69:39N", "18:57E", "1", 1, "6939N01857E"};
const Place kSydneyByDate{"Sydney by date", "33:52S",          "151:13E", "", 0,
                          "3352S15113E",    "Australia/Sydney"};

void PrintTo(const Place& p, std::ostream* os) {
    *os << p.name;
}

std::vector<std::string> placeArgs(const Place& p) {
    if (p.tzName != nullptr) return {"--lat", p.lat, "--lon", p.lon, "--tz-name", p.tzName};
    return {"--lat", p.lat, "--lon", p.lon, "--tz", p.tz};
}

std::vector<std::string> with(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Json> rangeDays(const Place& p, const std::string& from, int days) {
    const Result r = cli(
        with({"range", "--from", from, "--days", std::to_string(days), "--json"}, placeArgs(p)));
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<Json> out;
    std::istringstream in(r.out);
    std::string line;
    while (std::getline(in, line))
        out.push_back(Json::parse(line));
    EXPECT_EQ(out.size(), static_cast<std::size_t>(days));
    return out;
}

// "hh:mm AM" read the plain way, or nothing.
std::optional<int> minuteOfDay(const std::string& text) {
    int h = 0;
    int m = 0;
    char designator[3] = {};
    int used = 0;
    if (std::sscanf(text.c_str(), "%2d:%2d %2[AP]M%n", &h, &m, designator, &used) != 3 ||
        used != static_cast<int>(text.size()) || text.size() != 8)
        return std::nullopt;
    return (h % 12 + (designator[0] == 'P' ? 12 : 0)) * 60 + m;
}

// A local date and time in a zone, as seconds of UTC, through the C library.
std::time_t utcOf(const std::string& isoDate, int minute, double zoneHours) {
    std::tm tm{};
    std::sscanf(isoDate.c_str(), "%d-%d-%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday);
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_hour = minute / 60;
    tm.tm_min = minute % 60;
    return timegm(&tm) - static_cast<std::time_t>(zoneHours * 3600);
}

std::string compact(const std::string& isoDate) {
    std::string s = isoDate;
    s.erase(std::remove(s.begin(), s.end(), '-'), s.end());
    return s;
}

// What each kind of event is made from: the day's field and the UID part.
struct Source {
    const char* kind;
    const char* field;
    const char* summary;
    int seconds;
};
const Source kSources[] = {
    {"sunrise", "sunrise", "Sunrise", 0},
    {"sunset", "sunset", "Sunset", 0},
    {"major-above", "major_moon_above", "Major period: Moon above", 7200},
    {"major-below", "major_moon_below", "Major period: Moon below", 7200},
    // The box labelled "Moon Below" holds the minor period around moonrise.
    {"minor-rise", "minor_moon_below", "Minor period: Moon below", 7200},
    {"minor-set", "minor_moon_above", "Minor period: Moon above", 7200},
};

const char* fieldOf(const std::string& kind) {
    for (const Source& s : kSources)
        if (kind == s.kind) return s.field;
    return "";
}

/// Checks that the file has exactly one event for each time the days show,
/// at that time in UTC, and none for a box without a time. Returns the texts
/// of the boxes that gave no event, counted, so a test can see which cases it met.
std::map<std::string, int> expectEventsMatchDays(const Place& p, const std::string& from,
                                                 int days) {
    const Result r = cli(with({"ics", "--from", from, "--days", std::to_string(days), "--events",
                               "majors,minors,phases,sun"},
                              placeArgs(p)));
    EXPECT_EQ(r.status, 0) << r.err;
    const auto events = byUid(parseIcs(r.out));
    std::size_t expected = 0;
    std::map<std::string, int> skipped;
    std::set<double> offsets;
    const std::vector<Json> all = rangeDays(p, from, days);
    double previousZone =
        p.tzName != nullptr ? all.front()["utc_offset"].get<double>() : p.zoneHours;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Json& d = all[i];
        const Json* next = i + 1 < all.size() ? &all[i + 1] : nullptr;
        const std::string date = d["date"];
        // A zone by date: each day's times are in the offset its clocks show.
        const double zoneHours = p.tzName != nullptr ? d["utc_offset"].get<double>() : p.zoneHours;
        offsets.insert(zoneHours);
        auto expectOne = [&](const std::string& kind, const std::string& text,
                             const std::string& summary, int seconds) {
            const std::string uid = compact(date) + "-" + kind + "-" + p.key + "@moonbite";
            const auto minute = minuteOfDay(text);
            const auto found = events.find(uid);
            if (!minute) {
                ++skipped[text];
                EXPECT_EQ(found, events.end())
                    << p.name << " " << date << ": box \"" << text << "\" gave an event " << kind;
                return;
            }
            if (found == events.end() && seconds > 0 &&
                (next == nullptr || (*next)[fieldOf(kind)] == text)) {
                // The box shows the next day's period, which that day writes
                // (the last day's lies past the file's days).
                ++skipped["the next day's period"];
                return;
            }
            ++expected;
            ASSERT_NE(found, events.end()) << p.name << " " << date << ": no " << kind;
            const Event& e = found->second;
            EXPECT_EQ(e.summary, summary);
            // On a day the clocks change, an event before the change is in the
            // day before's offset.
            if (e.startUtc != utcOf(date, *minute, zoneHours) && previousZone != zoneHours)
                EXPECT_EQ(e.startUtc, utcOf(date, *minute, previousZone))
                    << p.name << " " << date << " " << kind;
            else
                EXPECT_EQ(e.startUtc, utcOf(date, *minute, zoneHours))
                    << p.name << " " << date << " " << kind << " shown as " << text << ", written "
                    << e.start;
            EXPECT_EQ(e.start.back(), 'Z') << "not in UTC: " << e.start;
            if (seconds > 0)
                EXPECT_EQ(e.endUtc - e.startUtc, seconds) << date << " " << kind;
            else
                EXPECT_TRUE(e.end.empty()) << date << " " << kind << " should be an instant";
        };
        for (const Source& s : kSources)
            expectOne(s.kind, d[s.field], s.summary, s.seconds);
        const std::string phase = d["phase_event"];
        if (phase == "New Moon" || phase == "Full Moon")
            expectOne(phase == "New Moon" ? "new-moon" : "full-moon", d["phase_event_time"], phase,
                      0);
        previousZone = zoneHours;
    }
    EXPECT_EQ(events.size(), expected) << p.name << ": events the days do not show";
    if (p.tzName != nullptr) {
        EXPECT_GT(offsets.size(), 1u) << "the clocks never changed";
    }
    return skipped;
}

class IcsTimes : public ::testing::TestWithParam<Place> {};

TEST_P(IcsTimes, EveryEventStartsAtTheTimeTheDayShowsInUtc) {
    // Across the first Sunday of April, when Sydney's clocks go back.
    expectEventsMatchDays(GetParam(), "2027-03-01", 75);
}

INSTANTIATE_TEST_SUITE_P(Zones, IcsTimes,
                         ::testing::Values(kSydney, kCapeCod, kDarwin, kSydneyByDate),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return n;
                         });

TEST(IcsCli, DaysWithoutAMoonEventOrWithCantCalcGiveNoPeriodEvent) {
    // A year at Sydney meets days without a moonrise; a polar winter days
    // when the Moon stays up or down and the periods read "Can't Calc".
    const auto sydney = expectEventsMatchDays(kSydney, "2027-01-01", 366);
    const auto tromso = expectEventsMatchDays(kTromso, "2027-11-15", 60);
    int blankBoxes = 0;
    for (const auto& [text, count] : sydney)
        if (text.find_first_not_of(' ') == std::string::npos) blankBoxes += count;
    EXPECT_GT(blankBoxes, 0) << "the year had no blank period box to test";
    EXPECT_GT(tromso.count("Can't Calc"), 0u) << "the polar days had no \"Can't Calc\" box";
}

TEST(IcsCli, ASetInTheDaysLastHalfMinuteIsAtTheNextMidnight) {
    // Reykjavik at midsummer: the Sun sets in the last half minute of 15 June.
    // Its box reads 12:00 AM; the event is that night, not the midnight before.
    const Result r = cli({"ics", "--lat", "64:08N", "--lon", "21:56W", "--tz", "0", "--from",
                          "2025-06-14", "--days", "2", "--events", "sun"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto events = byUid(parseIcs(r.out));
    const auto sunset = events.find("20250615-sunset-6408N02156W@moonbite");
    ASSERT_NE(sunset, events.end());
    EXPECT_EQ(sunset->second.start, "20250616T000000Z");
}

TEST(IcsCli, NoEventTwiceOrMissingAcrossClockChanges) {
    // Sydney over two years by its clocks: on the nights the clocks change a
    // period was once written on both days, an hour apart by the clock but at
    // the same instant.
    const Result r =
        cli({"ics", "--lat", "33:52S", "--lon", "151:13E", "--tz-name", "Australia/Sydney",
             "--from", "2023-01-01", "--days", "730", "--events", "majors,minors,sun"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::map<std::string, std::set<std::time_t>> starts;
    std::map<std::string, std::vector<std::time_t>> sunrises;
    for (const Event& e : parseIcs(r.out)) {
        EXPECT_TRUE(starts[e.summary].insert(e.startUtc).second)
            << e.summary << " twice at " << e.start << " (" << e.uid << ")";
        if (e.summary == "Sunrise") sunrises[e.summary].push_back(e.startUtc);
    }
    // A sunrise every day, each about a day after the one before.
    const auto& rises = sunrises["Sunrise"];
    ASSERT_EQ(rises.size(), 730u);
    for (std::size_t i = 1; i < rises.size(); ++i) {
        const std::time_t gap = rises[i] - rises[i - 1];
        EXPECT_GT(gap, 86400 - 300) << i;
        EXPECT_LT(gap, 86400 + 300) << i;
    }
}

TEST(IcsCli, UidsStayTheSameAcrossRunsAndRanges) {
    const auto args = with({"ics", "--from", "2027-06-01", "--days", "30"}, placeArgs(kSydney));
    const Result first = cli(args);
    const Result second = cli(args);
    ASSERT_EQ(first.status, 0) << first.err;
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(withoutStamps(first.out), withoutStamps(second.out));

    const Result longer =
        cli(with({"ics", "--from", "2027-05-01", "--days", "120"}, placeArgs(kSydney)));
    ASSERT_EQ(longer.status, 0) << longer.err;
    const auto shortEvents = byUid(parseIcs(first.out));
    const auto longEvents = byUid(parseIcs(longer.out));
    ASSERT_FALSE(shortEvents.empty());
    EXPECT_GT(longEvents.size(), shortEvents.size());
    for (const auto& [uid, e] : shortEvents) {
        const auto found = longEvents.find(uid);
        ASSERT_NE(found, longEvents.end()) << uid << " is missing from the longer range";
        EXPECT_EQ(found->second.line(), e.line());
    }

    // The same spot entered as decimals and as the stored current location.
    const Result decimal = cli({"ics", "--from", "2027-06-01", "--days", "30", "--lat",
                                "-33.866667", "--lon", "151.216667", "--tz", "10"});
    ASSERT_EQ(decimal.status, 0) << decimal.err;
    EXPECT_EQ(withoutStamps(decimal.out), withoutStamps(first.out));
    TempDir settings;
    std::ofstream(settings.path() / "Moonbite State.ini")
        << "[Settings]\nlatdeg=33\nlatmin=52\nNorS=S\nlondeg=151\nlonmin=13\nWorE=E\ngmt=10\n";
    const Result stored = cli({"ics", "--from", "2027-06-01", "--days", "30", "--settings-dir",
                               settings.path().string()});
    ASSERT_EQ(stored.status, 0) << stored.err;
    EXPECT_EQ(withoutStamps(stored.out), withoutStamps(first.out));
}

// --events tides: the nearest station's highs and lows, the same instants
// `moonbite-cli tides` gives, each once with its own stable UID, across a
// clock change (Key West, 14 March 2027).
TEST(IcsCli, TidesAreTheNearestStationsHighsAndLows) {
    const std::vector<std::string> keyWest = {"--lat", "24:33N", "--lon", "81:48W", "--tz-name",
                                              "America/New_York"};
    const Result ics = cli(with({"ics", "--from", "2027-03-13", "--days", "3", "--events", "tides"},
                                keyWest));
    ASSERT_EQ(ics.status, 0) << ics.err;
    const Result listed =
        cli(with({"tides", "--from", "2027-03-13", "--days", "3", "--json"}, keyWest));
    ASSERT_EQ(listed.status, 0) << listed.err;
    const Json tides = Json::parse(listed.out);
    const std::vector<Event> events = parseIcs(ics.out);
    ASSERT_EQ(events.size(), tides["events"].size());
    ASSERT_GE(events.size(), 10U) << "about four a day";
    const auto unique = byUid(events);
    EXPECT_EQ(unique.size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Json& t = tides["events"][i];
        const bool high = t["type"] == "high";
        EXPECT_EQ(events[i].categories, "Tide");
        EXPECT_EQ(events[i].summary.rfind(high ? "High water " : "Low water ", 0), 0U)
            << events[i].summary;
        EXPECT_TRUE(events[i].end.empty()) << "an instant";
        // The tool's local time with its offset, read back as UTC.
        const std::string when = t["time"];
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, oh = 0, om = 0;
        char sign = '+';
        ASSERT_EQ(std::sscanf(when.c_str(), "%d-%d-%dT%d:%d%c%d:%d", &y, &mo, &d, &h, &mi, &sign,
                              &oh, &om),
                  8);
        std::tm tm{};
        tm.tm_year = y - 1900;
        tm.tm_mon = mo - 1;
        tm.tm_mday = d;
        tm.tm_hour = h;
        tm.tm_min = mi;
        const std::time_t local = timegm(&tm);
        const int offset = (sign == '-' ? -1 : 1) * (oh * 3600 + om * 60);
        EXPECT_EQ(events[i].startUtc, local - offset) << when;
    }
    EXPECT_NE(ics.out.find("not for navigation"), std::string::npos);
    EXPECT_NE(ics.out.find("Mean Lower Low Water"), std::string::npos);
    // The same run again: the same events under the same UIDs.
    EXPECT_EQ(withoutStamps(ics.out),
              withoutStamps(cli(with({"ics", "--from", "2027-03-13", "--days", "3", "--events",
                                      "tides"},
                                     keyWest))
                                .out));

    // The harmonics file's last day is a whole day of tides too.
    const Result last = cli(with({"ics", "--from", "2100-12-31", "--days", "1", "--events", "tides"},
                                 keyWest));
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_GE(parseIcs(last.out).size(), 3U);

    // Inland there is no tide to write: said in one line, no file.
    const Result inland = cli({"ics", "--lat", "39:44N", "--lon", "104:59W", "--tz", "-7",
                               "--events", "majors,tides"});
    EXPECT_EQ(inland.status, 1);
    EXPECT_TRUE(inland.out.empty());
    EXPECT_NE(inland.err.find("No tide station near this place"), std::string::npos) << inland.err;
}

TEST(IcsCli, DefaultsAreThirtyDaysOfPeriodsAndPhases) {
    const Result r = cli(with({"ics", "--from", "2027-06-01"}, placeArgs(kSydney)));
    ASSERT_EQ(r.status, 0) << r.err;
    std::set<std::string> categories;
    std::set<std::string> dates;
    for (const Event& e : parseIcs(r.out)) {
        categories.insert(e.categories);
        dates.insert(e.uid.substr(0, 8));
    }
    EXPECT_EQ(categories, (std::set<std::string>{"Major period", "Minor period", "Moon phase"}));
    ASSERT_FALSE(dates.empty());
    EXPECT_EQ(*dates.begin(), "20270601");
    EXPECT_EQ(*dates.rbegin(), "20270630");
    EXPECT_EQ(dates.size(), 30u);
}

TEST(IcsCli, MinRatingKeepsOnlyTheDaysRatedAtLeastThat) {
    const auto days = rangeDays(kSydney, "2027-03-01", 90);
    for (const char* rating : {"Good", "excellent"}) {
        const int minimum = std::string(rating) == "Good" ? 66 : 100;
        const Result r = cli(with({"ics", "--from", "2027-03-01", "--days", "90", "--events",
                                   "rating,majors", "--min-rating", rating},
                                  placeArgs(kSydney)));
        ASSERT_EQ(r.status, 0) << r.err;
        std::map<std::string, std::vector<Event>> byDate;
        for (const Event& e : parseIcs(r.out))
            byDate[e.uid.substr(0, 8)].push_back(e);
        int kept = 0;
        int dropped = 0;
        for (const Json& d : days) {
            const std::string date = compact(d["date"]);
            const int score = d["prediction_score"];
            const auto found = byDate.find(date);
            if (score < minimum) {
                ++dropped;
                EXPECT_EQ(found, byDate.end()) << date << " scored " << score;
                continue;
            }
            ++kept;
            ASSERT_NE(found, byDate.end()) << date << " scored " << score;
            const auto ratingEvent =
                std::find_if(found->second.begin(), found->second.end(),
                             [](const Event& e) { return e.categories == "Fishing prediction"; });
            ASSERT_NE(ratingEvent, found->second.end());
            EXPECT_EQ(ratingEvent->summary, "Fishing: " + d["prediction_word"].get<std::string>());
            EXPECT_EQ(ratingEvent->start, date);  // a whole day
        }
        EXPECT_GT(kept, 0) << rating;
        EXPECT_GT(dropped, 0) << rating;
    }
}

TEST(IcsCli, OutputFileHoldsWhatStandardOutputWould) {
    TempDir dir;
    const std::string path = dir.path() / "fishing.ics";
    const auto args = with({"ics", "--from", "2027-06-01", "--days", "10"}, placeArgs(kSydney));
    const Result toStdout = cli(args);
    const Result toFile = cli(with(args, {"--output", path}));
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(withoutStamps(slurp(path)), withoutStamps(toStdout.out));
    // Writing again replaces the file rather than adding to it.
    ASSERT_EQ(cli(with(args, {"--output", path})).status, 0);
    EXPECT_EQ(withoutStamps(slurp(path)), withoutStamps(toStdout.out));
}

TEST(IcsCli, BadOptionsExitWithStatusTwo) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {"--days", "0"},
        {"--days", "3661"},
        {"--days", "ten"},
        {"--days", "-5"},
        {"--days", "0x10"},
        {"--from", "2027-02-30"},
        {"--from", "1900-12-31"},
        {"--from", "2200-12-01", "--days", "40"},
        {"--events", "majors,tidal"},
        {"--events", ""},
        {"--min-rating", "Superb"},
        {"--output", dir.path().string()},
        {"--output", "/dev/null"},
        {"--output", (dir.path() / "missing" / "a.ics").string()},
        {"--unknown"},
    };
    for (const auto& extra : cases) {
        const Result r = cli(with(with({"ics"}, placeArgs(kSydney)), extra));
        std::string shown;
        for (const auto& a : extra)
            shown += a + " ";
        EXPECT_EQ(r.status, 2) << shown << r.err;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(r.err.rfind("moonbite-cli: ", 0), 0u) << shown << r.err;
    }
    // The place options as every command checks them.
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"ics", "--lat", "33:52S", "--tz", "10"},
             {"ics", "--lat", "95:00N", "--lon", "151:13E", "--tz", "10"},
             {"ics", "--lat", "33:52S", "--lon", "151:13E", "--tz", "14"},
             {"ics", "--location", "Nowhere", "--settings-dir", dir.path().string()},
         }) {
        const Result r = cli(args);
        EXPECT_EQ(r.status, 2) << args[1] << " " << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(fs::exists(dir.path() / "Moonbite.ini"));
}

#ifdef MOONBITE_ICS_PYTHON
TEST(IcsCli, AnIndependentParserReadsTheSameEvents) {
    TempDir dir;
    const std::string path = dir.path() / "year.ics";
    const Result r = cli(with({"ics", "--from", "2027-01-01", "--days", "365", "--events",
                               "majors,minors,phases,sun,rating", "--output", path},
                              placeArgs(kDarwin)));
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> ours;
    for (const Event& e : parseIcs(slurp(path)))
        ours.push_back(e.line());
    const Result python = runProgram(MOONBITE_ICS_PYTHON, {MOONBITE_ICS_CHECK_SCRIPT, path});
    ASSERT_EQ(python.status, 0) << python.err;
    std::vector<std::string> theirs;
    std::istringstream in(python.out);
    std::string line;
    while (std::getline(in, line))
        theirs.push_back(line);
    ASSERT_GT(ours.size(), 365u * 5);
    EXPECT_EQ(theirs, ours);
}
#endif

}  // namespace
