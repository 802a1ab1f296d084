// moonbite-cli: options, outputs and bad input, in process and as a program.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "cli_app.h"
#include "cli_module.h"
#include "cli_run.h"
#include "journal_file.h"
#include "place_tides.h"
#include "settings_store.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace moonbite::cli {
namespace {

using nlohmann::json;

using testing::Result;
using testing::runCli;

TEST(CliCoordinates, DegreesMinutesAndDecimal) {
    EXPECT_NEAR(parseLatitude("33:52S").degrees, -(33 + 52 / 60.0), 1e-12);
    EXPECT_NEAR(parseLongitude("151:13E").degrees, 151 + 13 / 60.0, 1e-12);
    EXPECT_NEAR(parseLongitude("70:15w").degrees, -70.25, 1e-12);
    EXPECT_NEAR(parseLatitude("-33.5").degrees, -33.5, 1e-12);
    EXPECT_TRUE(parseLatitude("89:59N").error.empty());
    EXPECT_FALSE(parseLatitude("90:00N").error.empty());
    EXPECT_FALSE(parseLatitude("89.99").error.empty());
    EXPECT_FALSE(parseLatitude("33:60S").error.empty());
    EXPECT_FALSE(parseLatitude("33:52E").error.empty());  // wrong hemisphere letter
    EXPECT_FALSE(parseLatitude("33:52").error.empty());
    EXPECT_FALSE(parseLongitude("180:00E").error.empty());
    EXPECT_TRUE(parseLongitude("179:59W").error.empty());
    EXPECT_FALSE(parseLongitude("abc").error.empty());
    EXPECT_FALSE(parseLongitude("nan").error.empty());
}

TEST(CliDates, IsoWithinTheProgramsYears) {
    EXPECT_EQ(parseIsoDate("2000-01-21"), Date::fromYmd(2000, 1, 21));
    EXPECT_FALSE(parseIsoDate("2000-02-30"));
    EXPECT_FALSE(parseIsoDate("1900-12-31"));
    EXPECT_FALSE(parseIsoDate("2201-01-01"));
    EXPECT_FALSE(parseIsoDate("21/01/2000"));
}

TEST(CliDay, SydneyJsonMatchesTheMainWindow) {
    const Result r = runCli({"day", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--date",
                             "2000-01-21", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["date"], "2000-01-21");
    EXPECT_EQ(j["weekday"], "Friday");
    EXPECT_EQ(j["equinox_solstice"], "");
    EXPECT_EQ(j["sunrise"], "05:05 AM");
    EXPECT_EQ(j["sunset"], "07:07 PM");
    EXPECT_EQ(j["day_length"], "14 : 02");
    EXPECT_EQ(j["moonrise"], "07:13 PM");
    EXPECT_EQ(j["moonset"], "04:43 AM");
    EXPECT_EQ(j["major_moon_above"], "11:32 PM");
    EXPECT_EQ(j["major_moon_below"], "10:58 AM");
    EXPECT_EQ(j["minor_moon_above"], "03:43 AM");
    EXPECT_EQ(j["minor_moon_below"], "06:13 PM");
    EXPECT_EQ(j["moon_age"], 14);
    EXPECT_EQ(j["phase_picture"], 106);
    EXPECT_EQ(j["phase_event"], "Full Moon");
    EXPECT_EQ(j["phase_event_time"], "02:40 PM");
    EXPECT_EQ(j["prediction_score"], 100);
    EXPECT_EQ(j["prediction_word"], "Excellent");
    EXPECT_EQ(j["prediction_colour"], 12582912);
    EXPECT_EQ(j["lunar_distance_km"], 361956);
    ASSERT_EQ(j["graph"].size(), 15u);
    EXPECT_EQ(j["graph"][0], json::array({"1/21", 100}));
    EXPECT_EQ(j["graph"][11], json::array({"2/1", 66}));
}

TEST(CliDay, NoEventDaysAndOptions) {
    Result r =
        runCli({"day", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--date", "2000-01-29",
                "--json", "--day-first", "--graph-days", "2", "--reverse-moon"});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["moonrise"], "No moonrise");
    EXPECT_EQ(j["major_moon_above"], "05:21 AM");
    EXPECT_EQ(j["minor_moon_below"], "11:13 PM");
    EXPECT_EQ(j["phase_event"], "");
    EXPECT_EQ(j["graph"], json::parse(R"([["29/1", 0], ["30/1", 33]])"));
    EXPECT_EQ(j["phase_picture"], 103);  // DF = -8 with the reversed set

    r = runCli({"day", "--lat", "70:00N", "--lon", "25:00E", "--tz", "2", "--date", "2000-01-06",
                "--json"});
    j = json::parse(r.out);
    EXPECT_EQ(j["sunrise"], "Stays Down");
    EXPECT_EQ(j["moonrise"], "Stays Down");
    EXPECT_EQ(j["major_moon_above"], "Can't Calc");
}

TEST(CliDay, TextOutputDefaultsToToday) {
    const Result r = runCli({"day", "--lat", "-33.8667", "--lon", "151.2167", "--tz", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Monday 7 December 2026"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Sunrise  "), std::string::npos);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
}

TEST(CliMonth, CellsAsPrinted) {
    const Result r = runCli({"month", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--year",
                             "2000", "--month", "1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["first_weekday"], 7);  // 1 January 2000 was a Saturday
    ASSERT_EQ(j["days"].size(), 31u);
    const json& d21 = j["days"][20];
    EXPECT_EQ(d21["stars"], " ***");
    EXPECT_EQ(d21["phase_event"], "Full Moon");
    EXPECT_EQ(d21["phase_event_time"], "02:40 PM");
    EXPECT_EQ(d21["major_line"], "Maj: 11:32 PM Maj: 10:58 AM");
    EXPECT_EQ(d21["minor_line"], "Min: 03:43 AM Min: 06:13 PM");
    EXPECT_EQ(d21["sun_line"], "S  Rise: 05:05 AM  Set: 07:07 PM");
    EXPECT_EQ(d21["moon_line"], "M  Rise: 07:13 PM  Set: 04:43 AM");
}

TEST(CliRange, CsvAndJsonLinesAgreeWithDay) {
    Result r = runCli({"range", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--from",
                       "2000-01-20", "--days", "3", "--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string header;
    std::getline(lines, header);
    EXPECT_EQ(header.rfind("date,weekday,equinox_solstice,sunrise,", 0), 0u);
    std::string row;
    std::getline(lines, row);
    std::getline(lines, row);
    EXPECT_EQ(row.rfind("2000-01-21,Friday,,05:05 AM,07:07 PM,14 : 02,07:13 PM,04:43 AM,", 0), 0u)
        << row;

    r = runCli({"range", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--from",
                "2000-01-20", "--days", "3", "--json"});
    ASSERT_EQ(r.status, 0);
    std::istringstream jsonLines(r.out);
    int n = 0;
    for (std::string line; std::getline(jsonLines, line); ++n) {
        const json j = json::parse(line);
        EXPECT_FALSE(j.contains("graph"));
        if (n == 1) {
            EXPECT_EQ(j["major_moon_above"], "11:32 PM");
        }
    }
    EXPECT_EQ(n, 3);
}

TEST(CliPhases, TableOf2000) {
    const Result r = runCli({"phases", "--year", "2000", "--tz", "10", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["entries"].size(), 31u);
    EXPECT_EQ(j["entries"][0],
              json::parse(R"({"index":0,"kind":"new","date":"1999-12-08","time":"08:33 AM"})"));
    EXPECT_EQ(j["entries"][3]["kind"], "full");
    EXPECT_EQ(j["entries"][3]["time"], "02:40 PM");
}

struct BadInput {
    const char* name;
    std::vector<const char*> args;
};
void PrintTo(const BadInput& c, std::ostream* os) {
    *os << c.name;
}

class CliBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(CliBadInput, OneLineAndStatusTwo) {
    const Result r = runCli(GetParam().args);
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_TRUE(r.out.empty()) << r.out;
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_EQ(r.err.rfind("moonbite-cli: ", 0), 0u) << r.err;
}

#define PLACE "--lat", "33:52S", "--lon", "151:13E"
INSTANTIATE_TEST_SUITE_P(
    Cases, CliBadInput,
    ::testing::Values(
        BadInput{"LatitudeBeyond8959", {"day", "--lat", "90:00N", "--lon", "1:00E", "--tz", "0"}},
        BadInput{"LongitudeBeyond17959",
                 {"day", "--lat", "1:00N", "--lon", "180:00E", "--tz", "0"}},
        BadInput{"MinutesOver59", {"day", "--lat", "33:61S", "--lon", "151:13E", "--tz", "10"}},
        BadInput{"ZoneBelowMinus12", {"day", PLACE, "--tz", "-12.5"}},
        BadInput{"ZoneAbove13", {"day", PLACE, "--tz", "14"}},
        BadInput{"ZoneNotANumber", {"day", PLACE, "--tz", "ten"}},
        BadInput{"DateThatDoesNotExist", {"day", PLACE, "--tz", "10", "--date", "2001-02-29"}},
        BadInput{"DateBefore1901", {"day", PLACE, "--tz", "10", "--date", "1900-06-01"}},
        BadInput{"DateAfter2200", {"day", PLACE, "--tz", "10", "--date", "2201-01-01"}},
        BadInput{"GraphDaysOutOfRange", {"day", PLACE, "--tz", "10", "--graph-days", "61"}},
        BadInput{"UnknownOption", {"day", PLACE, "--tz", "10", "--colour"}},
        BadInput{"NoCommand", {}}, BadInput{"UnknownCommand", {"week", PLACE, "--tz", "10"}},
        BadInput{"MissingZone", {"day", PLACE}},
        BadInput{"MonthOutOfRange",
                 {"month", PLACE, "--tz", "10", "--year", "2000", "--month", "13"}},
        BadInput{"RangeTooLong",
                 {"range", PLACE, "--tz", "10", "--from", "2000-01-01", "--days", "3661"}},
        BadInput{"RangePast2200",
                 {"range", PLACE, "--tz", "10", "--from", "2200-12-30", "--days", "5"}},
        BadInput{"CsvAndJson",
                 {"range", PLACE, "--tz", "10", "--from", "2000-01-01", "--days", "2", "--csv",
                  "--json"}},
        BadInput{"PhasesYearOutOfRange", {"phases", "--year", "1800", "--tz", "0"}}),
    [](const auto& info) { return std::string(info.param.name); });
#undef PLACE

// --- Places stored by the program --------------------------------------------

class CliStoredPlaces : public ::testing::Test {
  protected:
    QTemporaryDir folder;
    std::string dir = folder.path().toStdString();

    void storeCurrentSydney() {
        SettingsStore store(folder.path());
        const QString s = QStringLiteral("Settings");
        for (const auto& [key, value] : {std::pair{"currentloc", "Sydney"},
                                         {"latdeg", "33"},
                                         {"latmin", "52"},
                                         {"NorS", "S"},
                                         {"londeg", "151"},
                                         {"lonmin", "13"},
                                         {"WorE", "E"},
                                         {"gmt", "10"}}) {
            store.save(kStateApp, s, QString::fromLatin1(key), QString::fromLatin1(value));
        }
    }
    void saveLocation(const QString& name, const char* latdeg, const char* NorS, const char* gmt) {
        SettingsStore store(folder.path());
        const QString dir = QStringLiteral("Settings\\Locations\\");
        const int n =
            store.get(kTitleApp, dir, QStringLiteral("nlist"), QStringLiteral("0")).toInt() + 1;
        store.save(kTitleApp, dir, QStringLiteral("nlist"), QString::number(n));
        store.save(kTitleApp, dir, QStringLiteral("place(%1)").arg(n), name);
        const QString section = locationSection(name);
        store.save(kTitleApp, section, QStringLiteral("latdeg"), QString::fromLatin1(latdeg));
        store.save(kTitleApp, section, QStringLiteral("latmin"), QStringLiteral("52"));
        store.save(kTitleApp, section, QStringLiteral("NorS"), QString::fromLatin1(NorS));
        store.save(kTitleApp, section, QStringLiteral("londeg"), QStringLiteral("151"));
        store.save(kTitleApp, section, QStringLiteral("lonmin"), QStringLiteral("13"));
        store.save(kTitleApp, section, QStringLiteral("WorE"), QStringLiteral("E"));
        store.save(kTitleApp, section, QStringLiteral("gmt"), QString::fromLatin1(gmt));
    }
};

TEST_F(CliStoredPlaces, TheCurrentLocationStandsInForTheCoordinates) {
    storeCurrentSydney();
    const Result stored =
        runCli({"day", "--settings-dir", dir.c_str(), "--date", "2000-01-21", "--json"});
    ASSERT_EQ(stored.status, 0) << stored.err;
    const Result given = runCli({"day", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10",
                                 "--date", "2000-01-21", "--json"});
    EXPECT_EQ(stored.out, given.out);
    EXPECT_EQ(json::parse(stored.out)["moonrise"], "07:13 PM");
}

TEST_F(CliStoredPlaces, ASavedLocationByName) {
    saveLocation(QStringLiteral("Bay/North"), "33", "S", "10");
    saveLocation(QStringLiteral("Cairns"), "16", "S", "10");
    const Result r = runCli({"day", "--settings-dir", dir.c_str(), "--location", "Bay/North",
                             "--date", "2000-01-21", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["major_moon_above"], "11:32 PM");
    const Result other = runCli({"day", "--settings-dir", dir.c_str(), "--location", "Cairns",
                                 "--date", "2000-01-21", "--json"});
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_NE(json::parse(other.out)["sunrise"], json::parse(r.out)["sunrise"]);
    const Result phases =
        runCli({"phases", "--settings-dir", dir.c_str(), "--location", "Cairns", "--year", "2000"});
    ASSERT_EQ(phases.status, 0) << phases.err;
    EXPECT_NE(phases.out.find("2000-01-21  02:40 PM"), std::string::npos) << phases.out;
}

TEST_F(CliStoredPlaces, ClearErrors) {
    Result r = runCli({"day", "--settings-dir", dir.c_str()});
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_NE(r.err.find("no location is stored yet"), std::string::npos) << r.err;

    saveLocation(QStringLiteral("Home"), "33", "S", "10");
    r = runCli({"day", "--settings-dir", dir.c_str(), "--location", "Away"});
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_NE(r.err.find("no saved location is named \"Away\""), std::string::npos) << r.err;

    r = runCli({"day", "--settings-dir", dir.c_str(), "--location", "Home", "--tz", "10"});
    EXPECT_EQ(r.status, kUsageError);

    saveLocation(QStringLiteral("Broken"), "95", "S", "10");
    r = runCli({"day", "--settings-dir", dir.c_str(), "--location", "Broken"});
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_NE(r.err.find("has latdeg \"95\""), std::string::npos) << r.err;
}

// --- The printed calendar as a PDF, without a display ------------------------

TEST(CliMonthPdf, WritesThePageAndRejectsUnknownOptions) {
    QTemporaryDir folder;
    const std::string pdf = folder.filePath(QStringLiteral("January 2000.pdf")).toStdString();
    const std::string dir = folder.path().toStdString();
    Result r = runCli({"month", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--year",
                       "2000", "--month", "1", "--pdf", pdf.c_str(), "--options",
                       "prediction,newfull,majorminor", "--settings-dir", dir.c_str()});
    ASSERT_EQ(r.status, 0) << r.err;
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
    EXPECT_GT(file.size(), 10000);

    const std::string other = folder.filePath(QStringLiteral("other.pdf")).toStdString();
    r = runCli({"month", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--year", "2000",
                "--month", "1", "--pdf", other.c_str(), "--options", "prediction,tides"});
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_NE(r.err.find("unknown calendar option \"tides\""), std::string::npos) << r.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(other)));

    const std::string blocked =
        folder.filePath(QStringLiteral("January 2000.pdf/inside.pdf")).toStdString();
    r = runCli({"month", "--lat", "33:52S", "--lon", "151:13E", "--tz", "10", "--year", "2000",
                "--month", "1", "--pdf", blocked.c_str(), "--options", "prediction"});
    EXPECT_EQ(r.status, kUsageError);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
}

// --- The journal with the Moon of each trip --------------------------------

TEST(CliJournal, ListsEveryEntryInNumberOrderWithItsMoon) {
    QTemporaryDir folder;
    JournalEntry fullMoonTrip;
    fullMoonTrip.day = QStringLiteral("21");
    fullMoonTrip.month = QStringLiteral("1");
    fullMoonTrip.year = QStringLiteral("2000");
    fullMoonTrip.notes = QStringLiteral("Flathead, two lines\nof notes");
    fullMoonTrip.catchRating = QStringLiteral("Excellent");
    JournalEntry noDate;
    noDate.notes = QStringLiteral("forgot the date");
    QString error;
    ASSERT_TRUE(writeJournalEntry(folder.path(), 10, fullMoonTrip, &error)) << error.toStdString();
    ASSERT_TRUE(writeJournalEntry(folder.path(), 2, noDate, &error));
    QFile broken(folder.filePath(QStringLiteral("jour3.dat")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a journal entry");
    broken.close();

    const std::string dir = folder.path().toStdString();
    const Result r = runCli({"journal", "--folder", dir.c_str(), "--tz", "10", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["entries"].size(), 3u);
    EXPECT_EQ(j["entries"][0]["entry"], 2);
    EXPECT_TRUE(j["entries"][0]["moon_age"].is_null());
    EXPECT_EQ(j["entries"][1]["entry"], 3);
    EXPECT_EQ(j["entries"][1]["status"], "broken");
    EXPECT_FALSE(j["entries"][1]["error"].get<std::string>().empty());
    const json& trip = j["entries"][2];
    EXPECT_EQ(trip["entry"], 10);
    EXPECT_EQ(trip["notes"], "Flathead, two lines\nof notes");
    EXPECT_EQ(trip["moon_age"], 14);
    EXPECT_EQ(trip["phase_picture"], 106);
    EXPECT_EQ(trip["prediction_word"], "Excellent");
    EXPECT_EQ(trip["phase_event"], "Full Moon 02:40 PM");

    const Result csv = runCli({"journal", "--folder", dir.c_str(), "--tz", "10", "--csv"});
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.rfind("entry,status,day,month,year,notes,", 0), 0u);
    EXPECT_NE(csv.out.find("\"Flathead, two lines\nof notes\""), std::string::npos) << csv.out;
}

// --- The journal's predicted tides ----------------------------------------------

class CliJournalTides : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(journal.isValid());
        ASSERT_TRUE(settings.isValid());
        JournalEntry july = onDate("15", "7", "2026");
        july.tide = QStringLiteral("Rising 1/3");
        write(1, july);
        QFile broken(journal.filePath(QStringLiteral("jour2.dat")));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a journal entry");
        broken.close();
        write(3, onDate("30", "2", "2026"));  // no such date
        write(4, onDate("16", "7", "2026"));
    }

    static JournalEntry onDate(const char* day, const char* month, const char* year) {
        JournalEntry e;
        e.day = QString::fromLatin1(day);
        e.month = QString::fromLatin1(month);
        e.year = QString::fromLatin1(year);
        e.tripTime = QStringLiteral("6:30 AM");
        return e;
    }

    void write(int n, const JournalEntry& e) {
        QString error;
        ASSERT_TRUE(writeJournalEntry(journal.path(), n, e, &error)) << error.toStdString();
    }

    static const tides::TideDatabase& database() {
        static const tides::LoadResult r = tides::loadTideDatabase(tides::defaultHarmonicsPath());
        if (!r.database) std::abort();
        return *r.database;
    }

    static const tides::TideStation& stationWithId(const char* id) {
        for (const tides::TideStation& s : database().stations)
            if (s.id == id && s.reference) return s;
        std::abort();
    }

    /// The highs and lows of a clock day whose midnight is at `midnight` (seconds
    /// since 1970 UTC), from the core's events, as the journal writes them.
    static std::string dayOf(const tides::TideStation& station, tides::UnixSeconds midnight) {
        std::string text;
        for (const tides::TideEvent& e :
             tides::tideEvents(database(), station, midnight, midnight + 86400)) {
            if (!text.empty()) text += "; ";
            text +=
                tides::eventText(e, static_cast<int>((e.time - midnight) / 60), ClockDesignators{});
        }
        return text;
    }

    /// Midnight of a July 2026 date at Friday Harbor (PDT, 07:00 UTC).
    static tides::UnixSeconds pdtMidnight(int day) {
        return (static_cast<tides::UnixSeconds>(Date::fromYmd(2026, 7, day)->serial()) - 25569) *
                   86400 +
               7 * 3600;
    }

    void storeFridayHarbor(const char* station) {
        SettingsStore store(settings.path());
        const QString s = QStringLiteral("Settings");
        for (const auto& [key, value] : {std::pair{"currentloc", "Friday Harbor"},
                                         {"latdeg", "48"},
                                         {"latmin", "33"},
                                         {"NorS", "N"},
                                         {"londeg", "123"},
                                         {"lonmin", "1"},
                                         {"WorE", "W"},
                                         {"gmt", "-8"},
                                         {"tzname", "America/Los_Angeles"},
                                         {"tidestation", station}}) {
            store.save(kStateApp, s, QString::fromLatin1(key), QString::fromUtf8(value));
        }
    }

    Result list(std::vector<const char*> place, const char* format = "--json") {
        std::vector<const char*> args{"journal", "--folder", dir.c_str(), format};
        args.insert(args.end(), place.begin(), place.end());
        return runCli(args);
    }

    QTemporaryDir journal;
    QTemporaryDir settings;
    std::string dir = journal.path().toStdString();
    std::string settingsDir = settings.path().toStdString();
};

TEST_F(CliJournalTides, JsonHasEachTripDatesHighsAndLowsBesideTheTide) {
    const std::string july15 = dayOf(stationWithId("9449880"), pdtMidnight(15));
    const std::string july16 = dayOf(stationWithId("9449880"), pdtMidnight(16));
    ASSERT_NE(july15.find("High "), std::string::npos) << july15;
    ASSERT_NE(july15, july16);

    const Result r =
        list({"--lat", "48:32.7N", "--lon", "123:00.8W", "--tz-name", "America/Los_Angeles"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::ordered_json j = nlohmann::ordered_json::parse(r.out);
    const auto& entries = j["entries"];
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0]["tide"], "Rising 1/3");
    EXPECT_EQ(entries[0]["predicted_tide"], july15);
    EXPECT_EQ(entries[1]["status"], "broken");
    EXPECT_EQ(entries[1]["predicted_tide"], "");
    EXPECT_EQ(entries[2]["predicted_tide"], "");  // 30 February
    EXPECT_EQ(entries[3]["predicted_tide"], july16);

    // The key stands right after "tide".
    std::vector<std::string> keys;
    for (const auto& item : entries[0].items())
        keys.push_back(item.key());
    const auto tide = std::find(keys.begin(), keys.end(), "tide");
    ASSERT_NE(tide, keys.end());
    ASSERT_NE(tide + 1, keys.end());
    EXPECT_EQ(*(tide + 1), "predicted_tide");
}

TEST_F(CliJournalTides, CsvHasTheColumnRightAfterTheTide) {
    const std::string july15 = dayOf(stationWithId("9449880"), pdtMidnight(15));
    const Result r =
        list({"--lat", "48.545", "--lon", "-123.013", "--tz-name", "America/Los_Angeles"}, "--csv");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string header = r.out.substr(0, r.out.find("\r\n"));
    EXPECT_NE(header.find(",wind,tide,predicted_tide,catch,"), std::string::npos) << header;
    EXPECT_NE(r.out.find("\r\n1,ok,15,7,2026,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(",Rising 1/3," + july15 + ","), std::string::npos) << r.out;
    // The damaged entry's row has the column empty.
    const std::size_t broken = r.out.find("\r\n2,broken,");
    ASSERT_NE(broken, std::string::npos) << r.out;
    const std::string row = r.out.substr(broken + 2, r.out.find("\r\n", broken + 2) - broken - 2);
    EXPECT_EQ(row.find("High "), std::string::npos) << row;
    EXPECT_EQ(row.find("Low "), std::string::npos) << row;
}

TEST_F(CliJournalTides, NoneWhereNoStationIsNearOrThePlaceIsUnknown) {
    for (const std::vector<const char*>& place :
         {std::vector<const char*>{"--lat", "33:52S", "--lon", "151:13E", "--tz", "10"},
          std::vector<const char*>{"--tz-name", "America/Los_Angeles"}}) {
        const Result r = list(place);
        ASSERT_EQ(r.status, 0) << r.err;
        const json j = json::parse(r.out);
        ASSERT_EQ(j["entries"].size(), 4u);
        for (const json& e : j["entries"])
            EXPECT_EQ(e["predicted_tide"], "") << r.out;
        // The Moon is still told.
        EXPECT_FALSE(j["entries"][0]["moon_age"].is_null());
    }
    // A latitude wants its longitude.
    const Result half = list({"--lat", "48:32.7N", "--tz-name", "America/Los_Angeles"});
    EXPECT_EQ(half.status, kUsageError);
}

TEST_F(CliJournalTides, TheStoredStationChoiceIsFollowed) {
    storeFridayHarbor("");
    Result r = list({"--settings-dir", settingsDir.c_str()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["entries"][0]["predicted_tide"],
              dayOf(stationWithId("9449880"), pdtMidnight(15)));

    storeFridayHarbor("none");
    r = list({"--settings-dir", settingsDir.c_str()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["entries"][0]["predicted_tide"], "");

    // Another station by name: its tides, by Friday Harbor's clock.
    const tides::TideStation& honolulu = stationWithId("1612340");
    storeFridayHarbor(honolulu.name.c_str());
    r = list({"--settings-dir", settingsDir.c_str()});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string there = dayOf(honolulu, pdtMidnight(15));
    ASSERT_NE(there, dayOf(stationWithId("9449880"), pdtMidnight(15)));
    EXPECT_EQ(json::parse(r.out)["entries"][0]["predicted_tide"], there);

    // A saved location keeps its own choice.
    SettingsStore store(settings.path());
    const QString locations = QStringLiteral("Settings\\Locations\\");
    store.save(kTitleApp, locations, QStringLiteral("nlist"), QStringLiteral("1"));
    store.save(kTitleApp, locations, QStringLiteral("place(1)"), QStringLiteral("Harbor"));
    const QString section = locationSection(QStringLiteral("Harbor"));
    for (const auto& [key, value] : {std::pair{"latdeg", "48"},
                                     {"latmin", "33"},
                                     {"NorS", "N"},
                                     {"londeg", "123"},
                                     {"lonmin", "1"},
                                     {"WorE", "W"},
                                     {"gmt", "-8"},
                                     {"tzname", "America/Los_Angeles"},
                                     {"tidestation", "none"}})
        store.save(kTitleApp, section, QString::fromLatin1(key), QString::fromLatin1(value));
    r = list({"--settings-dir", settingsDir.c_str(), "--location", "Harbor"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["entries"][0]["predicted_tide"], "");
    store.save(kTitleApp, section, QStringLiteral("tidestation"), QString());
    r = list({"--settings-dir", settingsDir.c_str(), "--location", "Harbor"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["entries"][0]["predicted_tide"],
              dayOf(stationWithId("9449880"), pdtMidnight(15)));
}

TEST_F(CliJournalTides, WithoutAHarmonicsFileTheJournalIsStillListed) {
    const char* was = std::getenv("MOONBITE_HARMONICS");
    const std::string before = was != nullptr ? was : "";
    setenv("MOONBITE_HARMONICS", (dir + "/no-such-file.tcd").c_str(), 1);
    const Result r =
        list({"--lat", "48:32.7N", "--lon", "123:00.8W", "--tz-name", "America/Los_Angeles"});
    if (was != nullptr)
        setenv("MOONBITE_HARMONICS", before.c_str(), 1);
    else
        unsetenv("MOONBITE_HARMONICS");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const json j = json::parse(r.out);
    ASSERT_EQ(j["entries"].size(), 4u);
    EXPECT_EQ(j["entries"][0]["predicted_tide"], "");
    EXPECT_EQ(j["entries"][0]["moon_age"].is_null(), false);
}

// The installed program, run as a process (env: "NAME=value " settings before it).
Result runProgram(const std::string& args, const std::string& env = "") {
    const std::string command =
        env + MOONBITE_CLI_PATH + " " + args + " 2>/tmp/moonbite-cli-test.err";
    Result r;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, "", "popen failed"};
    std::array<char, 4096> buf{};
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;)
        r.out.append(buf.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* e = fopen("/tmp/moonbite-cli-test.err", "r")) {
        for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), e)) > 0;)
            r.err.append(buf.data(), n);
        fclose(e);
    }
    return r;
}

// The tool tells the module each date's tides across their two copies of the
// C++ runtime.
TEST_F(CliJournalTides, TheProgramItselfListsThem) {
    const Result r = runProgram("journal --json --folder '" + dir +
                                "' --lat 48:32.7N --lon 123:00.8W --tz-name America/Los_Angeles");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_EQ(j["entries"].size(), 4u);
    EXPECT_EQ(j["entries"][0]["predicted_tide"], dayOf(stationWithId("9449880"), pdtMidnight(15)));
    EXPECT_EQ(j["entries"][3]["predicted_tide"], dayOf(stationWithId("9449880"), pdtMidnight(16)));
}

TEST(CliProgram, VersionIsOneLine) {
    const Result r = runProgram("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "moonbite-cli " MOONBITE_VERSION "\n");
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(CliProgram, EndToEnd) {
    Result r = runProgram("day --lat 33:52S --lon 151:13E --tz 10 --date 2000-01-15 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["moonset"], "No moonset");
    EXPECT_EQ(j["major_moon_above"], "05:32 PM");
    EXPECT_EQ(j["minor_moon_above"], "11:21 PM");
    EXPECT_EQ(j["major_moon_below"], "05:14 AM");

    r = runProgram("day --lat 95:00N --lon 0:00E --tz 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("beyond 89:59"), std::string::npos) << r.err;

    r = runProgram("--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("phases"), std::string::npos);
}

// --- Failures of the tool itself: status 1 ---------------------------------

// A stream buffer whose every write does what the test says: throw, or fail.
class FailingBuffer : public std::streambuf {
  public:
    explicit FailingBuffer(std::function<void()> onWrite) : onWrite_(std::move(onWrite)) {}

  protected:
    int_type overflow(int_type) override {
        onWrite_();
        return traits_type::eof();
    }
    std::streamsize xsputn(const char*, std::streamsize) override {
        onWrite_();
        return 0;
    }

  private:
    std::function<void()> onWrite_;
};

struct Thrown {
    const char* name;
    std::function<void()> doThrow;
    const char* says;
};

TEST(CliFailures, AnythingThrownIsOneLineAndStatusOne) {
    const Thrown cases[] = {
        {"bad_alloc", [] { throw std::bad_alloc(); }, "out of memory"},
        {"runtime_error", [] { throw std::runtime_error("disk on fire"); }, "disk on fire"},
        {"int", [] { throw 42; }, "internal error"},
    };
    for (const Thrown& c : cases) {
        SCOPED_TRACE(c.name);
        FailingBuffer buffer(c.doThrow);
        std::ostream out(&buffer);
        out.exceptions(std::ios::badbit);  // the stream passes the exception on
        std::ostringstream err;
        const std::vector<const char*> args = {"moonbite-cli", "day",  "--lat", "33:52S", "--lon",
                                               "151:13E",      "--tz", "10",    "--json"};
        int status = -1;
        EXPECT_NO_THROW(status = run(static_cast<int>(args.size()), args.data(), out, err,
                                     *Date::fromYmd(2026, 12, 7)));
        EXPECT_EQ(status, kFailure);
        EXPECT_EQ(err.str().rfind("moonbite-cli: ", 0), 0u) << err.str();
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
    }
}

TEST(CliFailures, OutputThatCannotBeWrittenIsStatusOne) {
    FailingBuffer buffer([] {});
    std::ostream out(&buffer);
    std::ostringstream err;
    const std::vector<const char*> args = {"moonbite-cli", "phases", "--tz",
                                           "10",           "--year", "2000"};
    const int status =
        run(static_cast<int>(args.size()), args.data(), out, err, *Date::fromYmd(2026, 12, 7));
    EXPECT_EQ(status, kFailure);
    EXPECT_NE(err.str().find("cannot write the output"), std::string::npos) << err.str();
}

// --- Hostile input, run as the real program ----------------------------------
//
// Every case runs the built program in a folder of its own, under `timeout`,
// so that a hang fails the case instead of the suite. "{dir}" in an argument
// or a variable stands for that folder.

// What a path is on disk, to tell whether a case left it alone.
std::string fileState(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return std::string("missing: ") + std::strerror(errno);
    std::ostringstream o;
    o << "mode " << std::oct << st.st_mode << std::dec << " inode " << st.st_ino << " device "
      << st.st_rdev << " size " << st.st_size << " mtime " << st.st_mtim.tv_sec << '.'
      << st.st_mtim.tv_nsec;
    if (S_ISLNK(st.st_mode)) {
        std::array<char, 4096> target{};
        const ssize_t n = readlink(path.c_str(), target.data(), target.size() - 1);
        o << " link to " << std::string(target.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
    } else if (S_ISREG(st.st_mode)) {
        std::ifstream in(path, std::ios::binary);
        o << " bytes " << std::string(std::istreambuf_iterator<char>(in), {});
    }
    return o.str();
}

std::vector<std::string> folderEntries(const QString& folder) {
    std::vector<std::string> names;
    for (const QString& name : QDir(folder).entryList(
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string expand(std::string text, const std::string& dir) {
    for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
        text.replace(at, 5, dir);
    return text;
}

struct ProgramRun {
    int status = -1;  // 124 when timeout stopped it
    std::string out;
    std::string err;
};

// Runs the program with the arguments, standard output into a file (or onto
// /dev/full), and the environment changed as given ("NAME=value" sets,
// "NAME" unsets).
ProgramRun runInFolder(const std::vector<std::string>& args, const std::string& dir,
                       bool outputToFull, const std::vector<std::string>& environment,
                       int fileSizeLimit = 0) {
    const std::string outPath = dir + "/../stdout.txt";
    const std::string errPath = dir + "/../stderr.txt";
    std::vector<std::string> argv = {"timeout", "20", MOONBITE_CLI_PATH};
    if (fileSizeLimit > 0)
        argv = {"timeout",
                "20",
                "/bin/sh",
                "-c",
                "ulimit -f " + std::to_string(fileSizeLimit) + " && exec \"$0\" \"$@\"",
                MOONBITE_CLI_PATH};
    for (const std::string& a : args)
        argv.push_back(expand(a, dir));
    std::vector<char*> argp;
    for (std::string& a : argv)
        argp.push_back(a.data());
    argp.push_back(nullptr);

    std::map<std::string, std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    env["HOME"] = dir;             // nothing of the real user's is read or written
    env["LC_ALL"].assign(1, 'C');  // assign(1, c): GCC 12 warns falsely on = "C" here
    for (const std::string& change : environment) {
        const std::size_t eq = change.find('=');
        if (eq == std::string::npos)
            env.erase(change);
        else
            env[change.substr(0, eq)] = expand(change.substr(eq + 1), dir);
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : env)
        envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& e : envText)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/zero", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputToFull ? "/dev/full" : outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    ProgramRun r;
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "timeout", &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        r.err = std::string("cannot start the program: ") + std::strerror(spawned);
        return r;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (!outputToFull) r.out = slurp(outPath);
    r.err = slurp(errPath);
    return r;
}

enum class Expect { Quiet, Refused };

struct Hostile {
    const char* name;
    std::vector<std::string> args;
    /// Makes the case's files in its folder; returns false when this system
    /// cannot make them (the case is skipped).
    std::function<bool(const std::string& dir)> setUp;
    int status;
    /// Fragments of the message (stderr) or, with status 0, of the output.
    std::vector<std::string> says;
    /// Paths in the folder that must be exactly as set up afterwards.
    std::vector<std::string> unchanged;
    /// Fragments that must not appear anywhere.
    std::vector<std::string> never = {};
    bool outputToFull = false;
    std::vector<std::string> environment = {};
    /// Blocks of 512 bytes the program may write to a file (ulimit -f); 0: no limit.
    int fileSizeLimit = 0;
};
void PrintTo(const Hostile& c, std::ostream* os) {
    *os << c.name;
}

// --- Set-ups --------------------------------------------------------------

bool nothing(const std::string&) {
    return true;
}

bool makeFifo(const std::string& path) {
    return mkfifo(path.c_str(), 0644) == 0;
}

bool makeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

// A node of the same kind as /dev/full, in the case's own folder, so that a
// tool that replaces it harms nothing outside (needs the right to make devices).
bool makeDevice(const std::string& path) {
    return mknod(path.c_str(), S_IFCHR | 0644, makedev(1, 7)) == 0;
}

bool makeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::function<bool(const std::string&)> fifoAt(const char* name) {
    return [name](const std::string& dir) { return makeFifo(dir + "/" + name); };
}

std::function<bool(const std::string&)> linkTo(const char* name, const char* target,
                                               std::function<bool(const std::string&)> first) {
    return [=](const std::string& dir) {
        return (!first || first(dir)) &&
               symlink(expand(target, dir).c_str(), (dir + "/" + name).c_str()) == 0;
    };
}

// The current location in the state file, with one key replaced.
std::function<bool(const std::string&)> currentPlaceWith(const char* key, QString value) {
    return [key, value](const std::string& dir) {
        SettingsStore store(QString::fromStdString(dir));
        const QString s = QStringLiteral("Settings");
        for (const auto& [k, v] : {std::pair{"latdeg", "33"},
                                   {"latmin", "52"},
                                   {"NorS", "S"},
                                   {"londeg", "151"},
                                   {"lonmin", "13"},
                                   {"WorE", "E"},
                                   {"gmt", "10"}}) {
            store.save(kStateApp, s, QString::fromLatin1(k),
                       std::string_view(k) == key ? value : QString::fromLatin1(v));
        }
        return store.writable();
    };
}

// A saved location "Reef", with one key replaced.
std::function<bool(const std::string&)> savedPlaceWith(const char* key, QString value) {
    return [key, value](const std::string& dir) {
        SettingsStore store(QString::fromStdString(dir));
        const QString list = QStringLiteral("Settings\\Locations\\");
        store.save(kTitleApp, list, QStringLiteral("nlist"), QStringLiteral("1"));
        store.save(kTitleApp, list, QStringLiteral("place(1)"), QStringLiteral("Reef"));
        const QString section = locationSection(QStringLiteral("Reef"));
        for (const auto& [k, v] : {std::pair{"latdeg", "16"},
                                   {"latmin", "55"},
                                   {"NorS", "S"},
                                   {"londeg", "145"},
                                   {"lonmin", "46"},
                                   {"WorE", "E"},
                                   {"gmt", "10"}}) {
            store.save(kTitleApp, section, QString::fromLatin1(k),
                       std::string_view(k) == key ? value : QString::fromLatin1(v));
        }
        return store.writable();
    };
}

// The current location with its zone named by a path to a named pipe.
bool storedZoneIsAFifo(const std::string& dir) {
    if (!currentPlaceWith("gmt", QStringLiteral("10"))(dir) || !makeFifo(dir + "/fifo"))
        return false;
    SettingsStore store(QString::fromStdString(dir));
    store.save(kStateApp, QStringLiteral("Settings"), QStringLiteral("tzname"),
               QString::fromStdString(dir + "/fifo"));
    return store.writable();
}

bool hugeLocationList(const std::string& dir) {
    SettingsStore store(QString::fromStdString(dir));
    store.save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
               QStringLiteral("2147483647"));
    return store.writable();
}

// Journal entries that are no files: a pipe, a folder, a dangling link, a link loop.
bool oddJournal(const std::string& dir) {
    JournalEntry trip;
    trip.day = QStringLiteral("21");
    trip.month = QStringLiteral("1");
    trip.year = QStringLiteral("2000");
    QString error;
    return writeJournalEntry(QString::fromStdString(dir), 1, trip, &error) &&
           makeFifo(dir + "/jour2.dat") && mkdir((dir + "/jour3.dat").c_str(), 0755) == 0 &&
           symlink((dir + "/gone.dat").c_str(), (dir + "/jour4.dat").c_str()) == 0 &&
           symlink((dir + "/jour5.dat").c_str(), (dir + "/jour5.dat").c_str()) == 0;
}

class CliHostileInput : public ::testing::TestWithParam<Hostile> {};

TEST_P(CliHostileInput, AnsweredClearlyAndNothingHarmed) {
    const Hostile& c = GetParam();
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const std::string dir = base.filePath(QStringLiteral("case")).toStdString();
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    if (!c.setUp(dir)) GTEST_SKIP() << "this system cannot make the case's files";

    std::map<std::string, std::string> before;
    for (const std::string& path : c.unchanged)
        before[path] = fileState(dir + "/" + path);
    const std::vector<std::string> entriesBefore = folderEntries(QString::fromStdString(dir));

    const ProgramRun r = runInFolder(c.args, dir, c.outputToFull, c.environment, c.fileSizeLimit);

    EXPECT_NE(r.status, 124) << "the program did not finish within 20 s";
    EXPECT_EQ(r.status, c.status) << r.err;
    if (c.status == 0) {
        EXPECT_EQ(r.err, "");
        for (const std::string& fragment : c.says)
            EXPECT_NE(r.out.find(expand(fragment, dir)), std::string::npos) << fragment << "\n"
                                                                            << r.out;
    } else {
        if (!c.outputToFull) {
            EXPECT_EQ(r.out, "");
        }
        // One line, short enough to read, whatever the input was.
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.rfind("moonbite-cli: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_LT(r.err.size(), 1000u);
        for (const std::string& fragment : c.says)
            EXPECT_NE(r.err.find(expand(fragment, dir)), std::string::npos) << fragment << "\n"
                                                                            << r.err;
        // Nothing left behind, nothing taken away.
        EXPECT_EQ(folderEntries(QString::fromStdString(dir)), entriesBefore);
    }
    for (const std::string& fragment : c.never) {
        EXPECT_EQ(r.out.find(fragment), std::string::npos) << fragment;
        EXPECT_EQ(r.err.find(fragment), std::string::npos) << fragment;
    }
    for (const std::string& path : c.unchanged)
        EXPECT_EQ(fileState(dir + "/" + path), before[path]) << path;
}

// The text of a PDF page, or nothing when pdftotext is not installed.
std::optional<QString> pdfText(const std::string& path) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (program.isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, {QString::fromStdString(path), QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(CliMonthPdf, AnEmptyOptionListDrawsNoTimes) {
    QTemporaryDir base;
    const std::string dir = base.path().toStdString();
    const auto page = [&](const char* name, std::vector<std::string> options) {
        std::vector<std::string> args = {"month",   "--lat",   "33:52S",
                                         "--lon",   "151:13E", "--tz",
                                         "10",      "--year",  "2000",
                                         "--month", "1",       "--settings-dir",
                                         "{dir}",   "--pdf",   std::string("{dir}/") + name};
        args.insert(args.end(), options.begin(), options.end());
        const ProgramRun r = runInFolder(args, dir, false, {});
        EXPECT_EQ(r.status, 0) << r.err;
        return pdfText(dir + "/" + name);
    };
    // No settings are stored, so the program's defaults (prediction and the
    // major and minor times) would apply without --options.
    const auto stored = page("stored.pdf", {});
    if (!stored) GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(stored->contains(QStringLiteral("Maj: 11:32 PM"))) << stored->toStdString();
    const auto none = page("none.pdf", {"--options", ""});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->contains(QStringLiteral("January 2000")));
    EXPECT_FALSE(none->contains(QStringLiteral("Maj:"))) << none->toStdString();
    EXPECT_FALSE(none->contains(QStringLiteral("Rise:")));
}

#define PLACE "--lat", "33:52S", "--lon", "151:13E", "--tz", "10"
#define MONTH_PDF(target) "month", PLACE, "--year", "2000", "--month", "1", "--pdf", "{dir}/" target
#define CURRENT "day", "--settings-dir", "{dir}"
#define SAVED "day", "--settings-dir", "{dir}", "--location", "Reef"

INSTANTIATE_TEST_SUITE_P(
    Cases, CliHostileInput,
    ::testing::Values(
        // A PDF goes only to a new path or over a regular file.
        Hostile{"PdfOntoFifo", {MONTH_PDF("target")}, fifoAt("target"), 2,
                {"{dir}/target", "named pipe"}, {"target"}},
        Hostile{"PdfOntoFolder", {MONTH_PDF("target")},
                [](const std::string& d) { return mkdir((d + "/target").c_str(), 0755) == 0; }, 2,
                {"a folder"}, {"target"}},
        Hostile{"PdfOntoSocket", {MONTH_PDF("s")},
                [](const std::string& d) { return makeSocket(d + "/s"); }, 2, {"a socket"}, {"s"}},
        Hostile{"PdfOntoDevice", {MONTH_PDF("full")},
                [](const std::string& d) { return makeDevice(d + "/full"); }, 2, {"a device"},
                {"full"}},
        Hostile{"PdfOntoLinkToDevice", {MONTH_PDF("link")},
                linkTo("link", "{dir}/full",
                       [](const std::string& d) { return makeDevice(d + "/full"); }),
                2, {"a symbolic link to a device"}, {"link", "full"}},
        Hostile{"PdfOntoLinkToFifo", {MONTH_PDF("link")},
                linkTo("link", "{dir}/pipe", fifoAt("pipe")), 2,
                {"a symbolic link to a named pipe"}, {"link", "pipe"}},
        Hostile{"PdfOntoDanglingLink", {MONTH_PDF("link")},
                linkTo("link", "{dir}/nowhere", nullptr), 2, {"symbolic link to nothing"},
                {"link"}},
        Hostile{"PdfOntoLinkLoop", {MONTH_PDF("link")}, linkTo("link", "{dir}/link", nullptr), 2,
                {"loop"}, {"link"}},
        Hostile{"PdfUnderAPlainFile", {MONTH_PDF("file.pdf/inside.pdf")},
                [](const std::string& d) { return makeFile(d + "/file.pdf", "mine"); }, 2,
                {"cannot write"}, {"file.pdf"}},
        Hostile{"PdfInAMissingFolder", {MONTH_PDF("no/such/page.pdf")}, nothing, 2,
                {"cannot write"}, {}},
        Hostile{"PdfWithoutAName",
                {"month", PLACE, "--year", "2000", "--month", "1", "--pdf", ""}, nothing, 2,
                {"--pdf needs"}, {}},
        Hostile{"PdfWithUnknownOption",
                {MONTH_PDF("page.pdf"), "--options", "prediction,tides"}, nothing, 2,
                {"unknown calendar option \"tides\""}, {}},
        // Qt's runtime-folder warning and its /tmp/runtime-<user> stay away.
        Hostile{"PdfQuietWithoutRuntimeFolder",
                {MONTH_PDF("page.pdf"), "--options", "prediction"},
                nothing,
                0,
                {"wrote {dir}/page.pdf"},
                {},
                {"XDG_RUNTIME_DIR"},
                false,
                {"XDG_RUNTIME_DIR", "TMPDIR={dir}"}},

        // Numbers are decimal.
        Hostile{"MonthWithLeadingZeroIsDecimal",
                {"month", PLACE, "--year", "2000", "--month", "010"}, nothing, 0,
                {"October 2000"}, {}},
        Hostile{"MonthZeroNine", {"month", PLACE, "--year", "2000", "--month", "09"}, nothing, 0,
                {"September 2000"}, {}},
        Hostile{"DaysWithLeadingZero", {"range", PLACE, "--from", "2000-01-01", "--days", "010"},
                nothing, 0, {"2000-01-10"}, {}, {"2000-01-11"}},
        Hostile{"YearWithLeadingZero", {"phases", "--tz", "10", "--year", "02024"}, nothing, 0,
                {"2024-"}, {}},
        Hostile{"LatitudeInHex", {"day", "--lat", "0x10", "--lon", "151", "--tz", "10"}, nothing,
                2, {"\"0x10\""}, {}},
        Hostile{"LatitudeWithExponent", {"day", "--lat", "1e1", "--lon", "151", "--tz", "10"},
                nothing, 2, {"\"1e1\""}, {}},
        Hostile{"LatitudeInfinite", {"day", "--lat", "inf", "--lon", "151", "--tz", "10"},
                nothing, 2, {"invalid latitude \"inf\""}, {}},
        Hostile{"LatitudeNan", {"day", "--lat", "-nan", "--lon", "151", "--tz", "10"}, nothing, 2,
                {"invalid latitude \"-nan\""}, {}},
        Hostile{"LongitudeOverflowing", {"day", "--lat", "1", "--lon", "1e309", "--tz", "10"},
                nothing, 2, {"invalid longitude \"1e309\""}, {}},
        Hostile{"ZoneInHex", {"day", "--lat", "1", "--lon", "1", "--tz", "0x0A"}, nothing, 2,
                {"\"0x0A\" is not a number"}, {}},
        Hostile{"ZoneInfinite", {"day", "--lat", "1", "--lon", "1", "--tz", "inf"}, nothing, 2,
                {"\"inf\" is not a number"}, {}},
        Hostile{"ZoneNan", {"day", "--lat", "1", "--lon", "1", "--tz", "nan"}, nothing, 2,
                {"\"nan\" is not a number"}, {}},
        Hostile{"ZoneOverflowing", {"day", "--lat", "1", "--lon", "1", "--tz", "1e309"}, nothing,
                2, {"\"1e309\" is not a number"}, {}, {"time zone inf"}},
        Hostile{"GraphDaysInHex", {"day", PLACE, "--graph-days", "0x10"}, nothing, 2,
                {"--graph-days \"0x10\""}, {}},
        Hostile{"DaysWithExponent", {"range", PLACE, "--from", "2000-01-01", "--days", "1e1"},
                nothing, 2, {"--days \"1e1\""}, {}},
        Hostile{"DecimalsStayFine",
                {"day", "--lat", "-33.5", "--lon", "151.25", "--tz", "9.5", "--date",
                 "2000-01-21"},
                nothing, 0, {"33:30S 151:15E, GMT +9.5"}, {}},
        // Out of range and malformed, as before.
        Hostile{"LatitudeBeyond8959", {"day", "--lat", "90:00N", "--lon", "1:00E", "--tz", "0"},
                nothing, 2, {"beyond 89:59"}, {}},
        Hostile{"MinutesOver59", {"day", "--lat", "33:61S", "--lon", "151:13E", "--tz", "10"},
                nothing, 2, {"minutes over 59"}, {}},
        Hostile{"ZoneAbove13", {"day", "--lat", "1", "--lon", "1", "--tz", "13.5"}, nothing, 2,
                {"-12..13"}, {}},
        Hostile{"MonthOutOfRange", {"month", PLACE, "--year", "2000", "--month", "13"}, nothing, 2,
                {"--month"}, {}},
        Hostile{"YearOutOfRange", {"phases", "--tz", "0", "--year", "99999999999999999999"},
                nothing, 2, {"--year"}, {}},
        Hostile{"DateThatDoesNotExist", {"day", PLACE, "--date", "2001-02-29"}, nothing, 2,
                {"--date \"2001-02-29\""}, {}},
        Hostile{"DateBefore1901", {"day", PLACE, "--date", "1900-12-31"}, nothing, 2, {"1901"},
                {}},
        Hostile{"UnknownOption", {"day", PLACE, "--colour"}, nothing, 2, {"--colour"}, {}},
        Hostile{"UnknownCommand", {"week", PLACE}, nothing, 2, {"unknown command \"week\""}, {}},
        Hostile{"ArgumentOf120kB", {"day", "--lat", std::string(120 * 1024, '7'), "--lon", "1",
                                    "--tz", "0"},
                nothing, 2, {"latitude"}, {}},
        Hostile{"ControlCharacterArgument", {"day", "--lat", "1\x01\x1b[2J", "--lon", "1", "--tz",
                                             "0"},
                nothing, 2, {"\"1\\x01\\x1b[2J\""}, {}},

        // Output that cannot be written is a failure.
        Hostile{"RangeOntoFullDisk", {"range", PLACE, "--from", "2000-01-01", "--days", "3"},
                nothing, 1, {"cannot write the output"}, {}, {}, true},
        Hostile{"LongRangeOntoFullDisk",
                {"range", PLACE, "--from", "2000-01-01", "--days", "3660", "--csv"}, nothing, 1,
                {"cannot write the output"}, {}, {}, true},
        Hostile{"DayJsonOntoFullDisk", {"day", PLACE, "--json"}, nothing, 1,
                {"cannot write the output"}, {}, {}, true},
        Hostile{"PhasesOntoFullDisk", {"phases", "--tz", "10", "--year", "2000"}, nothing, 1,
                {"cannot write the output"}, {}, {}, true},
        Hostile{"JournalOntoFullDisk", {"journal", "--tz", "10", "--folder", "{dir}"}, oddJournal,
                1, {"cannot write the output"}, {"jour2.dat"}, {}, true},

        // Stored values are checked before use; the message shows them as stored.
        Hostile{"HugeLocationList", {"day", "--settings-dir", "{dir}", "--location", "Nowhere"},
                hugeLocationList, 2, {"no saved location is named \"Nowhere\""}, {}},
        Hostile{"StoredLatitudeNan", {CURRENT}, currentPlaceWith("latdeg", "nan"), 2,
                {"latdeg \"nan\""}, {}, {"-2147483648"}},
        Hostile{"StoredLatitudeMinutesInfinite", {CURRENT}, currentPlaceWith("latmin", "inf"), 2,
                {"latmin \"inf\""}, {}},
        Hostile{"StoredLongitudeNan", {CURRENT}, currentPlaceWith("londeg", "-nan"), 2,
                {"londeg \"-nan\""}, {}},
        Hostile{"StoredLongitudeMinutesOver59", {CURRENT}, currentPlaceWith("lonmin", "60"), 2,
                {"lonmin \"60\""}, {}},
        Hostile{"StoredZoneNan", {CURRENT}, currentPlaceWith("gmt", "nan"), 2, {"gmt \"nan\""}, {}},
        Hostile{"StoredZoneJustAbove13", {CURRENT}, currentPlaceWith("gmt", "13.0000001"), 2,
                {"gmt \"13.0000001\""}, {}, {"time zone 13 "}},
        Hostile{"StoredZoneWithNul", {CURRENT}, currentPlaceWith("gmt", QStringLiteral("10") + QChar(0) + QStringLiteral("5")), 2,
                {"gmt \"10\\05\""}, {}},
        Hostile{"StoredZoneWithControlCharacter", {CURRENT},
                currentPlaceWith("gmt", QStringLiteral("1") + QChar(1)), 2, {"gmt \"1\\x01\""},
                {}},
        Hostile{"SavedLatitudeNan", {SAVED}, savedPlaceWith("latdeg", "nan"), 2,
                {"\"Reef\"", "latdeg \"nan\""}, {}},
        Hostile{"SavedLongitudeInfinite", {SAVED}, savedPlaceWith("londeg", "inf"), 2,
                {"londeg \"inf\""}, {}},
        Hostile{"SavedMinutesNan", {SAVED}, savedPlaceWith("lonmin", "nan"), 2,
                {"lonmin \"nan\""}, {}},
        Hostile{"SavedZoneInfinite", {SAVED}, savedPlaceWith("gmt", "-inf"), 2, {"gmt \"-inf\""},
                {}},
        Hostile{"NoLocationStored", {CURRENT}, nothing, 2, {"no location is stored yet"}, {}},

        // Settings files that cannot be read are named, with the reason.
        Hostile{"SettingsFileIsAFifo", {CURRENT}, fifoAt("Moonbite State.ini"), 2,
                {"{dir}/Moonbite State.ini cannot be read"}, {"Moonbite State.ini"},
                {"no location is stored yet"}},
        Hostile{"SettingsFileIsAFolder", {CURRENT},
                [](const std::string& d) {
                    return mkdir((d + "/Moonbite State.ini").c_str(), 0755) == 0;
                },
                2, {"Moonbite State.ini cannot be read"}, {"Moonbite State.ini"}},
        Hostile{"SettingsFileIsBinary", {CURRENT},
                [](const std::string& d) {
                    return makeFile(d + "/Moonbite State.ini",
                                    std::string("[Settings]\nlatdeg=3\0\x01\x02", 22));
                },
                2, {"Moonbite State.ini cannot be read"}, {"Moonbite State.ini"}},
        Hostile{"LocationFileIsAFifo", {SAVED}, fifoAt("Moonbite.ini"), 2,
                {"{dir}/Moonbite.ini cannot be read"}, {"Moonbite.ini"}},
        Hostile{"PdfOptionsFileIsAFifo", {MONTH_PDF("page.pdf"), "--settings-dir", "{dir}"},
                fifoAt("Moonbite.ini"), 2, {"Moonbite.ini cannot be read"}, {"Moonbite.ini"}},

        // The journal: a folder that is not there is an error; odd entries are listed.
        Hostile{"JournalFolderMissing", {"journal", "--tz", "10", "--folder", "{dir}/none"},
                nothing, 2, {"{dir}/none does not exist"}, {}},
        Hostile{"JournalFolderIsAFile", {"journal", "--tz", "10", "--folder", "{dir}/plain"},
                [](const std::string& d) { return makeFile(d + "/plain", "x"); }, 2,
                {"is not a folder"}, {"plain"}},
        Hostile{"JournalFolderUnreadable", {"journal", "--tz", "10", "--folder", "{dir}/locked"},
                [](const std::string& d) {
                    // Permissions do not stop the superuser.
                    return geteuid() != 0 && mkdir((d + "/locked").c_str(), 0) == 0;
                },
                2, {"cannot read the journal folder"}, {"locked"}},
        Hostile{"JournalDefaultFolderMissing", {"journal", "--tz", "10"}, nothing, 2,
                {"no journal yet"}, {}, {}, false, {"XDG_DATA_HOME={dir}/data"}},
        Hostile{"JournalOddEntries", {"journal", "--tz", "10", "--folder", "{dir}"}, oddJournal, 0,
                {"    1  21/1/2000", "    2  cannot be read: {dir}/jour2.dat",
                 "    3  cannot be read: {dir}/jour3.dat", "    4  cannot be read: {dir}/jour4.dat",
                 "    5  cannot be read: {dir}/jour5.dat"},
                {"jour2.dat", "jour3.dat", "jour4.dat", "jour5.dat"}},
        Hostile{"JournalWithoutZoneAsksForTz", {"journal", "--settings-dir", "{dir}"}, nothing, 2,
                {"give --tz"}, {}, {"--lat"}},

        // --options: an empty list is no options, and text and JSON follow it too.
        Hostile{"EmptyOptionsShowNothing",
                {"month", PLACE, "--year", "2000", "--month", "1", "--json", "--options", ""},
                nothing, 0, {"\"major_line\": \"\""}, {}, {"Maj:", "Rise:", "***"}},
        Hostile{"OptionsChooseTheTextLines",
                {"month", PLACE, "--year", "2000", "--month", "1", "--options", "sunrise"}, nothing,
                0, {"S  Rise: 05:05 AM"}, {}, {"Maj:", "M  Rise:"}},

        // Control characters in a value are escaped, on one line.
        Hostile{"DateWithControlCharacters", {"day", PLACE, "--date", "2024-01-01\n\x1b[31m"},
                nothing, 2, {"\"2024-01-01\\x0a\\x1b[31m\""}, {}, {"\x1b"}},
        Hostile{"FromWithControlCharacters",
                {"range", PLACE, "--from", "2024-01-01\r\n", "--days", "2"}, nothing, 2,
                {"\\x0d\\x0a"}, {}},
        // An empty value is not the default.
        Hostile{"EmptyDate", {"day", PLACE, "--date", ""}, nothing, 2, {"--date needs a value"}, {}},
        Hostile{"EmptyFrom", {"ics", PLACE, "--from", ""}, nothing, 2, {"--from needs a value"}, {}},
        Hostile{"EmptyLocation", {"day", "--settings-dir", "{dir}", "--location", ""}, nothing, 2,
                {"--location needs a value"}, {}},
        Hostile{"EmptySettingsDir", {"day", "--settings-dir", ""}, nothing, 2,
                {"--settings-dir needs a value"}, {}},
        Hostile{"EmptyJournalFolder", {"journal", "--tz", "10", "--folder", ""}, nothing, 2,
                {"--folder needs a value"}, {}},
        Hostile{"EmptyMinRating", {"ics", PLACE, "--min-rating", ""}, nothing, 2,
                {"--min-rating needs a value"}, {}},
        Hostile{"PdfWithJson", {MONTH_PDF("page.pdf"), "--json"}, nothing, 2, {"--pdf"}, {}},
        // Zones are names of the database, never paths: nothing is opened.
        Hostile{"ZoneNamedByAFifo", {"day", "--lat", "1", "--lon", "1", "--tz-name", "{dir}/fifo"},
                fifoAt("fifo"), 2, {"unknown time zone"}, {"fifo"}},
        Hostile{"ZoneNamedLocaltime",
                {"day", "--lat", "1", "--lon", "1", "--tz-name", "/etc/localtime"}, nothing, 2,
                {"unknown time zone"}, {}},
        Hostile{"ZoneNamedUpwards",
                {"day", "--lat", "1", "--lon", "1", "--tz-name", "../zoneinfo/UTC"}, nothing, 2,
                {"unknown time zone"}, {}},
        Hostile{"StoredZoneIsAFifo", {CURRENT}, storedZoneIsAFifo, 0, {"Sunrise"}, {"fifo"}},
        // No overflow before the range check.
        Hostile{"IcsDaysHuge", {"ics", PLACE, "--days", "99999999999"}, nothing, 2,
                {"outside 1..3660"}, {}},
        // A write that fails is a failure (1), and a good old file stays whole.
        Hostile{"IcsOverFileSizeLimit",
                {"ics", PLACE, "--days", "365", "--output", "{dir}/old.ics"},
                [](const std::string& d) { return makeFile(d + "/old.ics", "BEGIN:VCALENDAR"); },
                1,
                {"cannot write {dir}/old.ics"},
                {"old.ics"},
                {},
                false,
                {},
                8},
        Hostile{"PdfOverFileSizeLimit",
                {MONTH_PDF("old.pdf")},
                [](const std::string& d) { return makeFile(d + "/old.pdf", "%PDF-1.4"); },
                1,
                {"cannot write {dir}/old.pdf"},
                {"old.pdf"},
                {},
                false,
                {},
                4}),
    [](const auto& info) { return std::string(info.param.name); });
#undef PLACE
#undef MONTH_PDF
#undef CURRENT
#undef SAVED

}  // namespace
}  // namespace moonbite::cli

namespace moonbite::cli {
namespace {

// ---------------------------------------------------------------------------
// Places by name and coordinates as written

TEST(CliPlaces, ListsTownsWithTheFormsTheOtherOptionsTake) {
    Result r = runCli({"places", "key west"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string first = r.out.substr(0, r.out.find('\n'));
    EXPECT_EQ(first.rfind("Key West, Florida, United States", 0), 0u) << r.out;
    for (const char* part : {"24:33N", "81:47W", "America/New_York", "25755"})
        EXPECT_NE(first.find(part), std::string::npos) << part << " in " << first;

    r = runCli({"places", "Westport WA", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    ASSERT_FALSE(j["places"].empty());
    const json& w = j["places"][0];
    EXPECT_EQ(w["name"], "Westport");
    EXPECT_EQ(w["region"], "Washington");
    EXPECT_EQ(w["country_code"], "US");
    EXPECT_EQ(w["tz_name"], "America/Los_Angeles");
    // What the listing says is what --lat and --lon read back.
    EXPECT_NEAR(parseLatitude(w["lat"].get<std::string>()).degrees, w["latitude"].get<double>(),
                1 / 120.0);
    EXPECT_NEAR(parseLongitude(w["lon"].get<std::string>()).degrees, w["longitude"].get<double>(),
                1 / 120.0);

    r = runCli({"places", "portland", "--limit", "3"});
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
    EXPECT_EQ(runCli({"places", "portland", "--limit", "0"}).status, 2);
    EXPECT_EQ(runCli({"places"}).status, 2) << "a query is required";

    // Nothing found: status 1 like grep, with what is near.
    r = runCli({"places", "Kee Wesst"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("Key West, Florida"), std::string::npos) << r.err;
}

// --place "Key West" is --lat 24:33N --lon 81:47W --tz-name America/New_York:
// the town's position in the whole minutes the settings frame keeps, its zone
// followed by date (a clock-change day included).
TEST(CliPlaces, PlaceGivesTheSameDaysAsItsCoordinates) {
    for (const char* date : {"2027-01-20", "2027-03-14", "2027-07-04", "2027-11-07"}) {
        const Result named = runCli({"day", "--place", "Key West", "--date", date, "--json"});
        const Result given = runCli({"day", "--lat", "24:33N", "--lon", "81:47W", "--tz-name",
                                     "America/New_York", "--date", date, "--json"});
        ASSERT_EQ(named.status, 0) << named.err;
        ASSERT_EQ(given.status, 0) << given.err;
        EXPECT_EQ(json::parse(named.out), json::parse(given.out)) << date;
    }
    const Result month =
        runCli({"month", "--place", "Port Lincoln", "--year", "2027", "--month", "2", "--json"});
    const Result monthGiven =
        runCli({"month", "--lat", "34:44S", "--lon", "135:52E", "--tz-name", "Australia/Adelaide",
                "--year", "2027", "--month", "2", "--json"});
    ASSERT_EQ(month.status, 0) << month.err;
    EXPECT_EQ(month.out, monthGiven.out);

    const Result text = runCli({"day", "--place", "westport wa", "--date", "2027-01-20"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Westport, Washington, United States, 46:53N 124:06W, "
                            "America/Los_Angeles"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(runCli({"phases", "--place", "Kaikoura", "--year", "2027"}).status, 0);
}

TEST(CliPlaces, AnUnknownOrClashingPlaceIsBadInput) {
    Result r = runCli({"day", "--place", "Islamorda"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("did you mean \"Islamorada, Florida, United States\""), std::string::npos)
        << r.err;
    r = runCli({"day", "--place", "Xqzxqzxq"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("moonbite-cli places QUERY"), std::string::npos) << r.err;
    for (std::vector<const char*> args :
         {std::vector<const char*>{"day", "--place", "Key West", "--lat", "1:00N"},
          {"day", "--place", "Key West", "--tz", "-5"},
          {"day", "--place", "Key West", "--location", "Home"}}) {
        r = runCli(args);
        EXPECT_EQ(r.status, 2) << args[3];
        EXPECT_NE(r.err.find("--place alone"), std::string::npos) << r.err;
    }
}

TEST(CliPlaces, CoordinatesAsWrittenOnMapsAndPages) {
    const Result plain = runCli({"day", "--lat", "24:33N", "--lon", "81:47W", "--tz", "-5",
                                 "--date", "2027-01-20", "--json"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    for (auto [lat, lon] :
         {std::pair{"24°33'N", "81°47'W"}, std::pair{"24 33 N", "81 47 W"},
          std::pair{"N 24°33′", "W 81°47′"}, std::pair{"24.55", "-81.78333333"}}) {
        const Result r = runCli(
            {"day", "--lat", lat, "--lon", lon, "--tz", "-5", "--date", "2027-01-20", "--json"});
        ASSERT_EQ(r.status, 0) << lat << " " << lon << ": " << r.err;
        EXPECT_EQ(json::parse(r.out), json::parse(plain.out)) << lat << " " << lon;
    }
    const struct {
        const char* lat;
        const char* message;
    } wrong[] = {{"24°33'E", "needs the hemisphere letter N or S"},
                 {"-24°33'S", "both a sign and a hemisphere letter"},
                 {"24°61'N", "minutes over 59"},
                 {"89.99", "beyond 89:59"},
                 {"24.555, -81.782", "invalid latitude"},
                 {"twenty", "invalid latitude"}};
    for (const auto& w : wrong) {
        const Result r = runCli({"day", "--lat", w.lat, "--lon", "81:47W", "--tz", "-5"});
        EXPECT_EQ(r.status, 2) << w.lat;
        EXPECT_NE(r.err.find(w.message), std::string::npos) << w.lat << ": " << r.err;
    }
}

// The table is read only when a command asks for a place by name: without it
// every other command works, and the one that needs it says so in one line.
TEST(CliPlaces, WithoutTheTableOnlyPlacesByNameFail) {
    const std::string missing = "MOONBITE_PLACES=/nonexistent/places.tsv.gz ";
    const std::string day = "day --lat 24:33N --lon 81:47W --tz -5 --date 2027-01-20";
    const Result with = runProgram(day);
    const Result without = runProgram(day, missing);
    EXPECT_EQ(without.status, 0) << without.err;
    EXPECT_EQ(without.out, with.out);

    const Result r = runProgram("day --place 'Key West'", missing);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("the list of places cannot be read"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

}  // namespace
}  // namespace moonbite::cli
