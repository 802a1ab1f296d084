// moonbite-cli tides and stations: the core's highs and lows in the place's
// clock (daylight saving by date), the station found or refused, bad input.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QString>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_run.h"
#include "settings_store.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace moonbite::cli {
namespace {

using nlohmann::json;
using testing::Result;
using testing::runCli;

/// "2026-03-08T01:36-08:00" as seconds since 1970 UTC, and its offset.
struct Stamp {
    long long utc = 0;
    int offsetMinutes = 0;
};
Stamp parseStamp(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, oh = 0, om = 0;
    char sign = '+';
    EXPECT_EQ(std::sscanf(text.c_str(), "%d-%d-%dT%d:%d%c%d:%d", &y, &mo, &d, &h, &mi, &sign, &oh, &om), 8)
        << text;
    const Date date = *Date::fromYmd(y, mo, d);
    const long long local = (static_cast<long long>(date.serial()) - 25569) * 86400 + h * 3600 + mi * 60;
    const int offset = (sign == '-' ? -1 : 1) * (oh * 60 + om);
    return {local - offset * 60LL, offset};
}

const tides::TideDatabase& database() {
    static const tides::LoadResult r = tides::loadTideDatabase(tides::defaultHarmonicsPath());
    if (!r.database) std::abort();
    return *r.database;
}

const tides::TideStation& stationWithId(const char* id, bool reference) {
    for (const tides::TideStation& s : database().stations)
        if (s.id == id && s.reference == reference) return s;
    std::abort();
}

// On the day the clocks go forward at Friday Harbor (8 March 2026, 02:00 PST
// becomes 03:00 PDT) each event is shown in the offset of its own instant,
// and the instants are the core's.
TEST(CliTides, ANamedZoneAcrossTheClockChange) {
    const Result r = runCli({"tides", "--lat", "48:32N", "--lon", "123:01W", "--tz-name",
                             "America/Los_Angeles", "--from", "2026-03-08", "--days", "2", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["station"]["id"], "9449880");
    EXPECT_LT(j["station"]["distance_km"].get<double>(), 5);
    EXPECT_EQ(j["datum"], "Mean Lower Low Water");
    EXPECT_NE(j["note"].get<std::string>().find("not for navigation"), std::string::npos);

    // The local day of 8 March runs 23 hours: 08:00 UTC to 07:00 UTC.
    const auto& s = stationWithId("9449880", true);
    const std::vector<tides::TideEvent> core = tides::tideEvents(
        database(), s, parseStamp("2026-03-08T00:00-08:00").utc, parseStamp("2026-03-10T00:00-07:00").utc);
    ASSERT_EQ(j["events"].size(), core.size());
    bool sawStandard = false;
    bool sawDaylight = false;
    const long long change = parseStamp("2026-03-08T03:00-07:00").utc;
    for (std::size_t i = 0; i < core.size(); ++i) {
        const json& e = j["events"][i];
        const Stamp st = parseStamp(e["time"].get<std::string>());
        EXPECT_EQ(st.utc, core[i].time) << e["time"];
        EXPECT_EQ(e["type"], core[i].high ? "high" : "low");
        EXPECT_NEAR(e["height_m"].get<double>(), core[i].heightMetres, 0.0006);
        EXPECT_EQ(st.offsetMinutes, st.utc < change ? -8 * 60 : -7 * 60) << e["time"];
        (st.utc < change ? sawStandard : sawDaylight) = true;
    }
    EXPECT_TRUE(sawStandard && sawDaylight) << "events on both sides of the change";
}

TEST(CliTides, AStationByNameInItsOwnZoneOrThePlaces) {
    Result r = runCli({"tides", "--station", "kamalo harbor", "--from", "2026-07-15", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["station"]["kind"], "subordinate");
    EXPECT_FALSE(j["station"].contains("distance_km")) << "no place was given";
    ASSERT_FALSE(j["events"].empty());
    for (const json& e : j["events"])
        EXPECT_EQ(parseStamp(e["time"]).offsetMinutes, -600) << "Hawaii's own clock";

    // With a place, its clock and the distance to the station.
    r = runCli({"tides", "--station", "1613077", "--lat", "21:18N", "--lon", "157:52W", "--tz", "-9",
                "--from", "2026-07-15", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    j = json::parse(r.out);
    EXPECT_GT(j["station"]["distance_km"].get<double>(), 50);
    for (const json& e : j["events"])
        EXPECT_EQ(parseStamp(e["time"]).offsetMinutes, -540);
}

TEST(CliTides, TextAndCsvCarryTheSameEvents) {
    const std::vector<const char*> place = {"--lat", "24:33N", "--lon", "81:48W", "--tz-name",
                                            "America/New_York", "--from", "2027-01-20", "--days", "3"};
    std::vector<const char*> args = {"tides"};
    args.insert(args.end(), place.begin(), place.end());
    const Result text = runCli(args);
    args.push_back("--csv");
    const Result csv = runCli(args);
    args.back() = "--json";
    const Result js = runCli(args);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(csv.status, 0);
    const json j = json::parse(js.out);
    EXPECT_NE(text.out.find("Key West, Florida (NOAA 8724580)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Heights in metres above Mean Lower Low Water."), std::string::npos);
    EXPECT_NE(text.out.find("not for navigation"), std::string::npos);
    std::size_t lines = 0;
    for (char c : csv.out) lines += c == '\n' ? 1 : 0;
    EXPECT_EQ(lines, j["events"].size() + 1) << "a header, then one line per event";
    EXPECT_EQ(csv.out.rfind("time,type,height_m,datum,station\n", 0), 0U);
    std::size_t highs = 0;
    for (std::size_t p = text.out.find("High"); p != std::string::npos; p = text.out.find("High", p + 1))
        ++highs;
    std::size_t jsonHighs = 0;
    for (const json& e : j["events"]) jsonHighs += e["type"] == "high" ? 1 : 0;
    EXPECT_EQ(highs, jsonHighs);
}

TEST(CliTides, FarFromTheSeaNoStationIsClaimed) {
    const Result r = runCli({"tides", "--lat", "39:44N", "--lon", "104:59W", "--tz", "-7"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.rfind("moonbite-cli: No tide station near this place", 0), 0U) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

struct BadTides {
    const char* name;
    std::vector<const char*> args;
    int status;
    const char* says;
};
void PrintTo(const BadTides& c, std::ostream* os) { *os << c.name; }
class CliTidesBadInput : public ::testing::TestWithParam<BadTides> {};

TEST_P(CliTidesBadInput, OneLineAndItsStatus) {
    std::vector<const char*> args = GetParam().args;
    const Result r = runCli(args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
}

#define KEY_WEST "--lat", "24:33N", "--lon", "81:48W", "--tz", "-5"
INSTANTIATE_TEST_SUITE_P(
    Cases, CliTidesBadInput,
    ::testing::Values(
        BadTides{"NoDays", {"tides", KEY_WEST, "--days", "0"}, 2, "--days"},
        BadTides{"TooManyDays", {"tides", KEY_WEST, "--days", "367"}, 2, "--days"},
        BadTides{"DaysNotANumber", {"tides", KEY_WEST, "--days", "1e2"}, 2, "--days"},
        BadTides{"BadDate", {"tides", KEY_WEST, "--from", "2027-02-30"}, 2, "--from"},
        BadTides{"BeyondTheFile", {"tides", KEY_WEST, "--from", "2150-01-01"}, 2, "1700 to 2100"},
        BadTides{"JsonAndCsv", {"tides", KEY_WEST, "--json", "--csv"}, 2, "--json and --csv"},
        BadTides{"UnknownStation", {"tides", "--station", "Atlantis Harbour"}, 2, "no tide station matches"},
        BadTides{"ControlBytesInAName", {"tides", "--station", "Key\x1b[2JWest"}, 2, "no tide station matches"},
        BadTides{"StationsNothingMatches", {"stations", "Atlantis Harbour"}, 1, "no tide station matches"},
        BadTides{"StationsLimitZero", {"stations", "key", "--limit", "0"}, 2, "--limit"},
        BadTides{"StationsNoQuery", {"stations"}, 2, "query"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliStations, ByNameWithReferenceStationsFirst) {
    Result r = runCli({"stations", "key west"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("8724580  reference   24:33N 81:48W  Key West, Florida\n", 0), 0U) << r.out;
    r = runCli({"stations", "friday harbor", "--json", "--limit", "2"});
    ASSERT_EQ(r.status, 0);
    const json j = json::parse(r.out);
    ASSERT_EQ(j["stations"].size(), 2U);
    EXPECT_EQ(j["stations"][0]["id"], "9449880");
    EXPECT_EQ(j["stations"][0]["kind"], "reference");
    EXPECT_EQ(j["stations"][0]["time_zone"], "America/Los_Angeles");
}

// Without a harmonics file tides are not offered, in one line; every other
// command is unchanged (the file is read only by these two commands).
TEST(CliTides, WithoutAHarmonicsFileSaidOnceAndNothingElseChanges) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MOONBITE_HARMONICS"), QStringLiteral("/nonexistent/harmonics.tcd"));
    auto run = [&env](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MOONBITE_CLI_PATH), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const auto [status, err] = run({"tides", "--lat", "24:33N", "--lon", "81:48W", "--tz", "-5"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("/nonexistent/harmonics.tcd"))) << err.toStdString();
    EXPECT_EQ(run({"stations", "key"}).first, 1);
    const auto day = run({"day", "--lat", "24:33N", "--lon", "81:48W", "--tz", "-5", "--date", "2027-01-20"});
    EXPECT_EQ(day.first, 0) << day.second.toStdString();
}

// `day --json` carries the day's tides where a station is near: the same
// events as `tides`, and no key at all far from the sea.
TEST(CliDayTides, TheDaysJsonCarriesTheNearStationsTides) {
    const Result day = runCli({"day", "--lat", "48:33N", "--lon", "123:01W", "--tz-name",
                               "America/Los_Angeles", "--date", "2026-07-15", "--json"});
    ASSERT_EQ(day.status, 0) << day.err;
    const json j = json::parse(day.out);
    ASSERT_TRUE(j.contains("tides"));
    const Result tides = runCli({"tides", "--lat", "48:33N", "--lon", "123:01W", "--tz-name",
                                 "America/Los_Angeles", "--from", "2026-07-15", "--json"});
    ASSERT_EQ(tides.status, 0) << tides.err;
    const json t = json::parse(tides.out);
    EXPECT_EQ(j["tides"]["events"], t["events"]);
    EXPECT_EQ(j["tides"]["station"], t["station"]);
    EXPECT_EQ(j["tides"]["datum"], "Mean Lower Low Water");
    EXPECT_EQ(j["tides"]["interpolated_between_events"], false);
    EXPECT_NE(j["tides"]["note"].get<std::string>().find("not for navigation"), std::string::npos);
    ASSERT_GE(j["tides"]["events"].size(), 3u);

    // The day's boxes are what they were without tides.
    json without = j;
    without.erase("tides");
    const Result text = runCli({"day", "--lat", "48:33N", "--lon", "123:01W", "--tz-name",
                                "America/Los_Angeles", "--date", "2026-07-15"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out.find("tides"), std::string::npos) << "the text form is unchanged";

    // A subordinate station's curve is said to be drawn between its events.
    const Result kamalo = runCli({"day", "--lat", "21:03N", "--lon", "156:53W", "--tz", "-10",
                                  "--date", "2026-07-10", "--json"});
    ASSERT_EQ(kamalo.status, 0) << kamalo.err;
    const json k = json::parse(kamalo.out);
    ASSERT_TRUE(k.contains("tides"));
    EXPECT_EQ(k["tides"]["station"]["kind"], "subordinate");
    EXPECT_EQ(k["tides"]["interpolated_between_events"], true);
}

TEST(CliDayTides, NoKeyFarFromTheSeaOrWithoutTheFile) {
    const Result sydney = runCli({"day", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10",
                                  "--date", "2026-07-15", "--json"});
    ASSERT_EQ(sydney.status, 0) << sydney.err;
    EXPECT_FALSE(json::parse(sydney.out).contains("tides"));
    // Inland, 300 km from the coast of Washington.
    const Result inland = runCli({"day", "--lat", "47:40N", "--lon", "117:25W", "--tz", "-8",
                                  "--date", "2026-07-15", "--json"});
    ASSERT_EQ(inland.status, 0);
    EXPECT_FALSE(json::parse(inland.out).contains("tides"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MOONBITE_HARMONICS"), QStringLiteral("/nonexistent/harmonics.tcd"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MOONBITE_CLI_PATH),
            {"day", "--lat", "48:33N", "--lon", "123:01W", "--tz", "-7", "--date", "2026-07-15",
             "--json"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardError(), QByteArray());
    EXPECT_FALSE(json::parse(p.readAllStandardOutput().toStdString()).contains("tides"));
}

TEST(CliDayTides, TheStationTheCurrentLocationKeeps) {
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    {
        SettingsStore store(folder.path());
        const QString s = QStringLiteral("Settings");
        for (const auto& [key, value] : {std::pair{"currentloc", "Harbor"},
                                         {"latdeg", "48"},
                                         {"latmin", "33"},
                                         {"NorS", "N"},
                                         {"londeg", "123"},
                                         {"lonmin", "1"},
                                         {"WorE", "W"},
                                         {"gmt", "-7"},
                                         {"custom", "True"},
                                         {"tidestation", "none"}}) {
            store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
        }
    }
    const Result none = runCli({"day", "--settings-dir", dir.c_str(), "--date", "2026-07-15", "--json"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_FALSE(json::parse(none.out).contains("tides"));

    const std::string honolulu = stationWithId("1612340", true).name;
    SettingsStore(folder.path())
        .save(kStateApp, QStringLiteral("Settings"), QStringLiteral("tidestation"),
              QString::fromStdString(honolulu));
    const Result picked = runCli({"day", "--settings-dir", dir.c_str(), "--date", "2026-07-15", "--json"});
    ASSERT_EQ(picked.status, 0) << picked.err;
    const json j = json::parse(picked.out);
    ASSERT_TRUE(j.contains("tides"));
    EXPECT_EQ(j["tides"]["station"]["name"], honolulu);
    EXPECT_GT(j["tides"]["station"]["distance_km"].get<double>(), 3000);
    // Coordinates given take the nearest station, whatever the stored place keeps.
    const Result given = runCli({"day", "--settings-dir", dir.c_str(), "--lat", "48:33N", "--lon",
                                 "123:01W", "--tz", "-7", "--date", "2026-07-15", "--json"});
    EXPECT_EQ(json::parse(given.out)["tides"]["station"]["id"], "9449880");
}

// The harmonics file's last day is told whole; the day after is refused.
TEST(CliTides, TheLastDayOfTheFile) {
    const int last = database().firstYear + database().yearCount - 1;
    const std::string lastDay = std::to_string(last) + "-12-31";
    const Result r = runCli({"tides", "--lat", "48:33N", "--lon", "123:01W", "--tz", "-8", "--from",
                             lastDay.c_str(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GE(json::parse(r.out)["events"].size(), 3u);
    const std::string after = std::to_string(last + 1) + "-01-01";
    if (last + 1 <= 2200) {
        const Result beyond = runCli({"tides", "--lat", "48:33N", "--lon", "123:01W", "--tz", "-8",
                                      "--from", after.c_str()});
        EXPECT_EQ(beyond.status, 2) << beyond.err;
    }
}

}  // namespace
}  // namespace moonbite::cli
