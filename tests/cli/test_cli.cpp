// moonbite-cli: options, outputs and bad input, in process and as a program.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include "cli_app.h"
#include "journal_file.h"
#include "settings_store.h"

namespace moonbite::cli {
namespace {

using nlohmann::json;

struct Result {
    int status = 0;
    std::string out;
    std::string err;
};

Result runCli(std::vector<const char*> args) {
    args.insert(args.begin(), "moonbite-cli");
    std::ostringstream out;
    std::ostringstream err;
    const Date today = *Date::fromYmd(2026, 12, 7);
    const int status = run(static_cast<int>(args.size()), args.data(), out, err, today);
    return {status, out.str(), err.str()};
}

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

// The installed program, run as a process.
Result runProgram(const std::string& args) {
    const std::string command =
        std::string(MOONBITE_CLI_PATH) + " " + args + " 2>/tmp/moonbite-cli-test.err";
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

}  // namespace
}  // namespace moonbite::cli
