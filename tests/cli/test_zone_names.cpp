// moonbite-cli with zones by name: each date in the offset its clocks show,
// the stored location's named zone, and agreement with QTimeZone.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cctz_zone_rule.h"
#include "cli_app.h"
#include "cli_module.h"
#include "current_place.h"
#include "journal_file.h"
#include "settings_store.h"
#include "zone_rules.h"

namespace moonbite::cli {
namespace {

struct Out {
    int status = 0;
    std::string out;
    std::string err;
};

Out runCli(std::vector<std::string> args) {
    std::vector<const char*> argv = {"moonbite-cli"};
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        run(static_cast<int>(argv.size()), argv.data(), out, err, *Date::fromYmd(2027, 1, 20));
    return {status, out.str(), err.str()};
}

// The day's JSON without the fields that name the zone itself, and without
// the graph, whose later days may lie past a change (the core's tests cover it).
nlohmann::json dayAt(const std::string& place, const std::string& zoneOption,
                     const std::string& zone, const std::string& date) {
    std::vector<std::string> args = {"day", "--json", "--date", date, zoneOption, zone};
    std::istringstream words(place);
    for (std::string w; words >> w;)
        args.push_back(w);
    const Out r = runCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    j.erase("utc_offset");
    j.erase("clock_change");
    j.erase("graph");
    return j;
}

const std::string kSydney = "--lat 33:52S --lon 151:13E";
const std::string kNewYork = "--lat 40:43N --lon 74:00W";

TEST(CliZoneName, SydneyDaysEqualTheFixedZoneOfTheirClocks) {
    const std::vector<std::pair<std::string, std::string>> days = {
        {"2027-01-15", "11"}, {"2027-04-03", "11"}, {"2027-04-05", "10"},
        {"2027-07-15", "10"}, {"2027-10-02", "10"}, {"2027-10-04", "11"}};
    for (const auto& [date, fixed] : days) {
        EXPECT_EQ(dayAt(kSydney, "--tz-name", "Australia/Sydney", date),
                  dayAt(kSydney, "--tz", fixed, date))
            << date;
    }
}

TEST(CliZoneName, OffsetsAndClockChangesInTheOutput) {
    const Out r = runCli({"range", "--lat", "33:52S", "--lon", "151:13E", "--tz-name",
                          "Australia/Sydney", "--from", "2027-04-03", "--days", "3", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<nlohmann::json> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]["utc_offset"], 11);
    EXPECT_EQ(rows[0]["clock_change"], "");
    EXPECT_EQ(rows[1]["utc_offset"], 10);
    EXPECT_EQ(rows[1]["clock_change"], "back");
    EXPECT_EQ(rows[2]["clock_change"], "");
    // The half-hour and 45-minute zones.
    auto offset = [](const char* zone, const char* date) {
        const Out o = runCli({"day", "--lat", "31:33S", "--lon", "159:05E", "--tz-name", zone,
                              "--date", date, "--json"});
        return nlohmann::json::parse(o.out)["utc_offset"].get<double>();
    };
    EXPECT_EQ(offset("Australia/Lord_Howe", "2027-07-01"), 10.5);
    EXPECT_EQ(offset("Australia/Lord_Howe", "2027-01-01"), 11);
    EXPECT_EQ(offset("Pacific/Chatham", "2027-07-01"), 12.75);
    EXPECT_EQ(offset("Pacific/Chatham", "2027-01-01"), 13.75);
}

TEST(CliZoneName, HalfHourSummerEqualsTheFixedZone) {
    EXPECT_EQ(dayAt("--lat 31:33S --lon 159:05E", "--tz-name", "Australia/Lord_Howe", "2027-07-01"),
              dayAt("--lat 31:33S --lon 159:05E", "--tz", "10.5", "2027-07-01"));
}

TEST(CliZoneName, NewYorkMarchMonthChangesOnThe14th) {
    auto month = [](const std::string& option, const std::string& zone) {
        const Out r = runCli({"month", "--lat", "40:43N", "--lon", "74:00W", option, zone, "--year",
                              "2027", "--month", "3", "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out)["days"];
    };
    const auto named = month("--tz-name", "America/New_York");
    const auto winter = month("--tz", "-5");
    const auto summer = month("--tz", "-4");
    ASSERT_EQ(named.size(), 31u);
    for (std::size_t i = 0; i < 31; ++i) {
        auto strip = [](nlohmann::json cell) {
            cell.erase("clock_change");
            return cell;
        };
        if (i + 1 == 14) continue;  // the change day: below
        EXPECT_EQ(strip(named[i]), strip(i + 1 < 14 ? winter[i] : summer[i])) << "March " << i + 1;
    }
    // The Moon sets at 12:14 AM, winter time, two hours before the change;
    // it rises at 10:15 AM summer time.
    EXPECT_EQ(named[13]["moon_line"], "M  Rise: 10:15 AM  Set: 12:14 AM");
    EXPECT_EQ(named[13]["sun_line"], summer[13]["sun_line"]);
}

// The days the clocks change, read by the clock: each event in the offset in
// force at its instant, and a change day runs from its midnight to the next.
// Expected texts: the same date computed in the fixed zone of that offset
// (named beside each), which the other tests tie to published almanac times.
struct ChangeDayCase {
    const char* label;
    const char* place;
    const char* zone;
    const char* date;
    const char* key;
    const char* expected;
    const char* fixedZone;  // whose result on the same date it equals; "" for none
};

void PrintTo(const ChangeDayCase& c, std::ostream* os) {
    *os << c.label;
}

class CliChangeDay : public ::testing::TestWithParam<ChangeDayCase> {};

TEST_P(CliChangeDay, ReadsByTheClock) {
    const ChangeDayCase& c = GetParam();
    const auto named = dayAt(c.place, "--tz-name", c.zone, c.date);
    EXPECT_EQ(named[c.key], c.expected);
    if (*c.fixedZone != 0) {
        EXPECT_EQ(dayAt(c.place, "--tz", c.fixedZone, c.date)[c.key], c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zones, CliChangeDay,
    ::testing::Values(
        // Clocks forward at 2:00 (+1 to +2): the Moon rises at 00:26 UT.
        ChangeDayCase{"BerlinMoonriseBeforeTheChange", "--lat 52:31N --lon 13:24E", "Europe/Berlin",
                      "2027-03-28", "moonrise", "01:26 AM", "1"},
        ChangeDayCase{"BerlinMoonsetAfterTheChange", "--lat 52:31N --lon 13:24E", "Europe/Berlin",
                      "2027-03-28", "moonset", "09:00 AM", "2"},
        // The major period at 13:41 UT is 11:41 PM on Saturday (+10), and not
        // again at 12:41 AM on Sunday.
        ChangeDayCase{"SydneyPeriodOnSaturday", kSydney.c_str(), "Australia/Sydney", "2023-09-30",
                      "major_moon_above", "11:41 PM", "10"},
        ChangeDayCase{"SydneyPeriodNotAgainOnSunday", kSydney.c_str(), "Australia/Sydney",
                      "2023-10-01", "major_moon_above", "     ", ""},
        // The Moon sets at 11:28 UT: 12:28 AM on 6 April (+13), before 3:00.
        ChangeDayCase{"AucklandMoonsetOnTheLongDay", "--lat 36:51S --lon 174:46E",
                      "Pacific/Auckland", "2025-04-06", "moonset", "12:28 AM", "13"},
        ChangeDayCase{"AucklandNoMoonsetTheDayBefore", "--lat 36:51S --lon 174:46E",
                      "Pacific/Auckland", "2025-04-05", "moonset", "No moonset", ""},
        // Clocks back at midnight (-2 to -3): the 18th has 25 hours, and the
        // Moon rises at 02:53 UT on the 19th, 11:53 PM in the repeated hour.
        ChangeDayCase{"SaoPauloMoonriseInTheRepeatedHour", "--lat 23:33S --lon 46:38W",
                      "America/Sao_Paulo", "2017-02-18", "moonrise", "11:53 PM", "-3"},
        ChangeDayCase{"SaoPauloNoMoonriseOnTheNextDay", "--lat 23:33S --lon 46:38W",
                      "America/Sao_Paulo", "2017-02-19", "moonrise", "No moonrise", ""},
        // The day before: its minor period starts an hour before the 18th's
        // first moonrise (00:13 AM, -2).
        ChangeDayCase{"SaoPauloMinorBeforeTheLongDay", "--lat 23:33S --lon 46:38W",
                      "America/Sao_Paulo", "2017-02-17", "minor_moon_below", "11:13 PM", "-2"},
        // Half-hour shift, +10.5 to +11 at 2:00.
        ChangeDayCase{"LordHowePeriodBeforeTheChange", "--lat 31:33S --lon 159:05E",
                      "Australia/Lord_Howe", "2027-10-03", "major_moon_below", "12:39 AM", "10.5"},
        ChangeDayCase{"LordHoweMoonriseAfterTheChange", "--lat 31:33S --lon 159:05E",
                      "Australia/Lord_Howe", "2027-10-03", "moonrise", "07:29 AM", "11"},
        ChangeDayCase{"LordHoweBackSunrise", "--lat 31:33S --lon 159:05E", "Australia/Lord_Howe",
                      "2027-04-04", "sunrise", "06:06 AM", "10.5"}),
    [](const ::testing::TestParamInfo<ChangeDayCase>& info) {
        return std::string(info.param.label);
    });

TEST(CliZoneName, AZoneWithoutDaylightTimeEqualsTheFixedZoneAllYear) {
    auto year = [](const std::string& option, const std::string& zone) {
        const Out r = runCli({"range", "--lat", "19:04N", "--lon", "72:53E", option, zone, "--from",
                              "2027-01-01", "--days", "365", "--csv"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    EXPECT_EQ(year("--tz-name", "Asia/Kolkata"), year("--tz", "5.5"));
}

TEST(CliZoneName, BadNamesAndBothZonesAreRefused) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"day", "--lat", "1", "--lon", "1", "--tz-name", "Mars/Olympus"},
          std::vector<std::string>{"day", "--lat", "1", "--lon", "1", "--tz-name", ""},
          std::vector<std::string>{"day", "--lat", "1", "--lon", "1", "--tz-name",
                                   "../../etc/passwd"},
          std::vector<std::string>{"phases", "--year", "2027", "--tz-name", "Nowhere"},
          std::vector<std::string>{"day", "--lat", "1", "--lon", "1", "--tz", "10", "--tz-name",
                                   "Australia/Sydney"}}) {
        const Out r = runCli(args);
        EXPECT_EQ(r.status, kUsageError) << args.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
}

TEST(CliZoneName, PhasesByTheClocksOfEachDay) {
    auto line = [](const std::string& option, const std::string& zone, int index) {
        const Out r = runCli({"phases", "--year", "2027", option, zone, "--json"});
        return nlohmann::json::parse(r.out)["entries"][static_cast<std::size_t>(index)]["time"]
            .get<std::string>();
    };
    // Entry 5 falls in February (+11), entry 15 in July (+10).
    EXPECT_EQ(line("--tz-name", "Australia/Sydney", 5), line("--tz", "11", 5));
    EXPECT_EQ(line("--tz-name", "Australia/Sydney", 15), line("--tz", "10", 15));
}

TEST(CliZoneName, TheStoredLocationsNamedZoneIsFollowed) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    const QString s = QStringLiteral("Settings");
    for (const auto& [key, value] : {std::pair{"currentloc", "New York"},
                                     {"latdeg", "40"},
                                     {"latmin", "43"},
                                     {"NorS", "N"},
                                     {"londeg", "74"},
                                     {"lonmin", "0"},
                                     {"WorE", "W"},
                                     {"gmt", "-5"},
                                     {"custom", "True"},
                                     {"tzname", "America/New_York"}})
        store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
    const std::string folder = dir.path().toStdString();
    const Out stored = runCli({"day", "--settings-dir", folder, "--date", "2027-07-15", "--json"});
    ASSERT_EQ(stored.status, 0) << stored.err;
    auto j = nlohmann::json::parse(stored.out);
    EXPECT_EQ(j["utc_offset"], -4);
    j.erase("utc_offset");
    j.erase("clock_change");
    j.erase("graph");
    EXPECT_EQ(j, dayAt(kNewYork, "--tz", "-4", "2027-07-15"));
    // Without the name the stored custom zone stays fixed.
    store.save(kStateApp, s, QStringLiteral("tzname"), QString());
    const Out fixed = runCli({"day", "--settings-dir", folder, "--date", "2027-07-15", "--json"});
    EXPECT_EQ(nlohmann::json::parse(fixed.out)["utc_offset"], -5);
}

TEST(CliZoneName, JournalTripsByTheClocksOfTheirDay) {
    QTemporaryDir dir;
    JournalEntry trip;
    trip.day = QStringLiteral("7");  // the new moon of 7 April 2027, after the change to +10
    trip.month = QStringLiteral("4");
    trip.year = QStringLiteral("2027");
    ASSERT_TRUE(writeJournalEntry(dir.path(), 1, trip, nullptr));
    auto phase = [&](const std::string& option, const std::string& zone) {
        const Out r =
            runCli({"journal", "--folder", dir.path().toStdString(), option, zone, "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out)["entries"][0]["phase_event"].get<std::string>();
    };
    EXPECT_EQ(phase("--tz-name", "Australia/Sydney"), phase("--tz", "10"));
    EXPECT_NE(phase("--tz", "11"), phase("--tz", "10"));
}

// The tool (CCTZ) and the windows (QTimeZone) read the same database; they
// must give every date the same offset.
TEST(ZoneLibraries, CctzAndQTimeZoneAgreeOnEveryDate) {
    for (const char* name : {"Australia/Sydney", "America/New_York", "Australia/Lord_Howe",
                             "Pacific/Chatham", "Europe/London", "Asia/Kolkata", "America/St_Johns",
                             "Africa/Casablanca", "Pacific/Apia", "America/Sao_Paulo"}) {
        const auto cctz = CctzZoneRule::named(name);
        ASSERT_TRUE(cctz.has_value()) << name;
        const QtZoneRule qt{QTimeZone(QByteArray(name))};
        int differing = 0;
        for (Date d = *Date::fromYmd(1971, 1, 1); d < *Date::fromYmd(2038, 1, 1); d = d + 1) {
            if (cctz->hoursOn(d) != qt.hoursOn(d) && ++differing <= 3)
                ADD_FAILURE() << name << " " << d.year() << "-" << d.ymd().month << "-"
                              << d.ymd().day << ": cctz " << cctz->hoursOn(d) << ", Qt "
                              << qt.hoursOn(d);
        }
        EXPECT_EQ(differing, 0) << name;
    }
}

// The tool follows the computer's own zone through the C library: it must
// agree with QTimeZone, which the window uses for the same zone.
TEST(ZoneLibraries, TheComputerZoneAgreesWithQTimeZone) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved != nullptr ? saved : "";
    for (const char* name : {"Australia/Sydney", "America/New_York", "Australia/Lord_Howe"}) {
        setenv("TZ", name, 1);
        tzset();
        const auto computer = computerZone();
        const QtZoneRule qt{QTimeZone(QByteArray(name))};
        int differing = 0;
        for (Date d = *Date::fromYmd(1971, 1, 1); d < *Date::fromYmd(2038, 1, 1); d = d + 1)
            differing += computer->hoursOn(d) != qt.hoursOn(d) ? 1 : 0;
        EXPECT_EQ(differing, 0) << name;
    }
    if (saved != nullptr)
        setenv("TZ", before.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace moonbite::cli
