// The stored places written through the settings store (the real QSettings)
// and read back without Qt: every text must come back exactly as the store
// reads it, for names and values full of the characters the format escapes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "qt_reference.h"
#include "settings_store.h"
#include "stored_places.h"

namespace moonbite::storage {
namespace {

const QString kAbsent = QStringLiteral("\x01(absent)");
const char* const kLocationKeys[] = {"latdeg", "latmin", "NorS", "londeg", "lonmin", "WorE", "gmt"};

std::optional<std::string> storeValue(const SettingsStore& store, const QString& app,
                                      const QString& section, const char* key) {
    const QString v = store.get(app, section, QString::fromLatin1(key), kAbsent);
    if (v == kAbsent) return std::nullopt;
    return v.toUtf8().toStdString();
}

std::vector<std::optional<std::string>> asList(const LocationValues& v) {
    return {v.latdeg, v.latmin, v.NorS, v.londeg, v.lonmin, v.WorE, v.gmt};
}

// Texts made of what the INI format quotes, escapes or splits on.
std::string randomText(std::mt19937& rng) {
    static const char* const kPieces[] = {"Hobart",
                                          "a",
                                          "Z",
                                          "0",
                                          "42",
                                          " ",
                                          "  ",
                                          ",",
                                          ", ",
                                          "\"",
                                          "'",
                                          "\\",
                                          "/",
                                          "\\\\",
                                          "%",
                                          "%25",
                                          "%U0041",
                                          "=",
                                          ";",
                                          "#",
                                          "[",
                                          "]",
                                          "@",
                                          "@String(",
                                          "@ByteArray(",
                                          "(",
                                          ")",
                                          "\t",
                                          "\n",
                                          "\r",
                                          "\x01",
                                          "\x7F",
                                          "\xC3\xA9",
                                          "\xC3\x9F",
                                          "\xE6\x97\xA5\xE6\x9C\xAC",
                                          "\xF0\x9F\x98\x80",
                                          "\xF0\x9F\x8E\xA3",
                                          "\xC2\xA0",
                                          "\xEF\xBB\xBF",
                                          "x41",
                                          "General"};
    constexpr int kCount = static_cast<int>(sizeof kPieces / sizeof kPieces[0]);
    std::uniform_int_distribution<int> piece(0, kCount - 1);
    std::uniform_int_distribution<int> shape(0, 19);
    std::uniform_int_distribution<int> length(1, 8);
    const int s = shape(rng);
    if (s == 0) return {};
    std::string t;
    if (s == 1) {  // a very long text
        while (t.size() < 3000)
            t += kPieces[piece(rng)];
        return t;
    }
    for (int n = length(rng); n > 0; --n)
        t += kPieces[piece(rng)];
    if (s == 2) t = "  " + t + "  ";
    if (s == 3) t = std::string("\0", 1) + t;  // QSettings writes this as @String(...)
    return t;
}

QString q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

class StoredPlacesTest : public ::testing::Test {
  protected:
    std::string folder() const { return QFile::encodeName(dir_.path()).toStdString(); }

    QTemporaryDir dir_{qtref::scratchTemplate()};
    SettingsStore store_{dir_.path()};
};

// Writes one text: through SettingsStore::save, or straight into QSettings
// objects (the store's writer) that are synced once at the end.
class Writer {
  public:
    explicit Writer(const QString& folder, bool bulk) : store_(folder), bulk_(bulk) {}
    void save(const QString& app, const QString& section, const char* key, const QString& value) {
        if (!bulk_) {
            store_.save(app, section, QString::fromLatin1(key), value);
            return;
        }
        auto& settings = files_[app];
        if (!settings)
            settings = std::make_unique<QSettings>(store_.filePath(app), QSettings::IniFormat);
        // The store's group path: "\" nests, empty parts are dropped.
        QString group = section;
        group.replace(QLatin1Char('\\'), QLatin1Char('/'));
        group = group.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
        settings->setValue(group + QLatin1Char('/') + QLatin1String(key), value);
    }
    void finish() {
        for (auto& [app, settings] : files_)
            settings->sync();
        files_.clear();
    }
    const SettingsStore& store() const { return store_; }

  private:
    SettingsStore store_;
    bool bulk_;
    std::map<QString, std::unique_ptr<QSettings>> files_;
};

// Rounds of random locations, current location and options written with
// Qt, each text then read back by the reader and by a settings store that
// reads the same files afresh; returns how many texts were compared.
int roundTrip(unsigned seed, int rounds, bool bulk) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> locationCount(1, 12);
    const QString directory = QStringLiteral("Settings\\Locations\\");
    int checked = 0;
    for (int round = 0; round < rounds && !::testing::Test::HasFailure(); ++round) {
        QTemporaryDir dir{qtref::scratchTemplate()};
        Writer writer(dir.path(), bulk);
        const std::string context =
            "seed " + std::to_string(seed) + ", round " + std::to_string(round);

        // The title file: the location list and each location's own section,
        // as the program writes them.
        std::vector<std::string> names;
        const int n = locationCount(rng);
        for (int i = 1; i <= n; ++i) {
            names.push_back(randomText(rng));
            writer.save(kTitleApp, directory, QStringLiteral("place(%1)").arg(i).toLatin1(),
                        q(names.back()));
            for (const char* key : kLocationKeys)
                writer.save(kTitleApp, moonbite::locationSection(q(names.back())), key,
                            q(randomText(rng)));
        }
        writer.save(kTitleApp, directory, "nlist", QString::number(n));
        for (const char* key : {"Prediction", "Sunrise", "Moonrise", "Majorminor", "Newfull"})
            writer.save(kTitleApp, QStringLiteral("Settings"), key, q(randomText(rng)));
        // The state file: the current location and other settings.
        for (const char* key : {"currentloc", "latdeg", "latmin", "NorS", "londeg", "lonmin",
                                "WorE", "gmt", "runalarm", "daytype"})
            writer.save(kStateApp, QStringLiteral("Settings"), key, q(randomText(rng)));
        writer.finish();

        // The tool is another process: it reads what is on disk, not what this
        // process's QSettings still holds in memory (a value's leading U+FEFF,
        // for one, does not survive the file). A store on a copy of the files
        // reads them afresh.
        QTemporaryDir copy{qtref::scratchTemplate()};
        for (const QString& app : {kTitleApp, kStateApp}) {
            EXPECT_TRUE(QFile::copy(writer.store().filePath(app),
                                    copy.path() + QLatin1Char('/') + app + QStringLiteral(".ini")));
        }
        const SettingsStore fresh(copy.path());
        const StoredPlaces places(QFile::encodeName(dir.path()).toStdString());
        EXPECT_EQ(places.titleFile().problem(), IniProblem::None) << context;
        EXPECT_EQ(places.stateFile().problem(), IniProblem::None) << context;

        const std::vector<std::string> listed = places.savedLocationNames();
        EXPECT_EQ(listed.size(), names.size()) << context;
        for (std::size_t i = 0; i < names.size() && i < listed.size(); ++i) {
            const QString name = q(names[i]);
            const std::string shown = context + ", location " + std::to_string(i + 1) +
                                      " named \"" + qtref::shownBytes(names[i]) + "\"";
            const QString place = QStringLiteral("place(%1)").arg(i + 1);
            EXPECT_EQ(listed[i], fresh.get(kTitleApp, directory, place).toUtf8().toStdString())
                << shown;
            // Looked up in the list as the tool looks it up with the store.
            bool found = false;
            for (int k = 1; k <= n && !found; ++k)
                found = fresh.get(kTitleApp, directory, QStringLiteral("place(%1)").arg(k)) == name;
            EXPECT_EQ(places.isSavedLocation(names[i]), found) << shown;
            EXPECT_EQ(locationSection(names[i]),
                      moonbite::locationSection(name).toUtf8().toStdString())
                << shown;
            const auto values = asList(places.savedLocation(names[i]));
            for (std::size_t k = 0; k < values.size(); ++k) {
                EXPECT_EQ(values[k], storeValue(fresh, kTitleApp, moonbite::locationSection(name),
                                                kLocationKeys[k]))
                    << shown << ", key " << kLocationKeys[k];
            }
            checked += 9;
        }
        const auto current = asList(places.currentLocation());
        for (std::size_t k = 0; k < current.size(); ++k) {
            EXPECT_EQ(current[k], storeValue(fresh, kStateApp, "Settings", kLocationKeys[k]))
                << context << ", current " << kLocationKeys[k];
        }
        EXPECT_EQ(places.currentLocationName(),
                  storeValue(fresh, kStateApp, "Settings", "currentloc"))
            << context;
        EXPECT_EQ(places.stateSetting("runalarm"),
                  storeValue(fresh, kStateApp, "Settings", "runalarm"))
            << context;
        const CalendarOptionValues options = places.calendarOptions();
        EXPECT_EQ(options.Prediction, storeValue(fresh, kTitleApp, "Settings", "Prediction"))
            << context;
        EXPECT_EQ(options.Sunrise, storeValue(fresh, kTitleApp, "Settings", "Sunrise")) << context;
        EXPECT_EQ(options.Moonrise, storeValue(fresh, kTitleApp, "Settings", "Moonrise"))
            << context;
        EXPECT_EQ(options.Majorminor, storeValue(fresh, kTitleApp, "Settings", "Majorminor"))
            << context;
        EXPECT_EQ(options.Newfull, storeValue(fresh, kTitleApp, "Settings", "Newfull")) << context;
        checked += 7 + 2 + 5;
    }
    return checked;
}

TEST(StoredPlacesRoundTrip, SavedThroughTheStoreReadBackAsTheStoreReadsThem) {
    EXPECT_GT(roundTrip(90210, 6, false), 300);
}

TEST(StoredPlacesRoundTrip, ThousandsWrittenByQSettingsReadBackAsTheStoreReadsThem) {
    EXPECT_GT(roundTrip(4711, 50, true), 3000);
}

// The longest list the program keeps, with names long enough to make the
// file megabytes: the tool and the store read every location, and a save
// keeps them all in place.
TEST_F(StoredPlacesTest, TheLongestListIsStoredAndReadBackWhole) {
    const QString directory = QStringLiteral("Settings\\Locations\\");
    std::vector<std::string> names;
    {
        Writer writer(dir_.path(), true);
        for (int i = 1; i <= kMaxSavedLocations; ++i) {
            names.push_back(
                "Jet\xC3\xA9"
                "e " +
                std::to_string(i) + ", the far end of the long breakwall past the boat ramp");
            const QString name = q(names.back());
            writer.save(kTitleApp, directory, QStringLiteral("place(%1)").arg(i).toLatin1(), name);
            const QString section = moonbite::locationSection(name);
            writer.save(kTitleApp, section, "latdeg", QString::number(i % 90));
            writer.save(kTitleApp, section, "latmin", QStringLiteral("52"));
            writer.save(kTitleApp, section, "NorS", QStringLiteral("S"));
            writer.save(kTitleApp, section, "londeg", QString::number(i % 180));
            writer.save(kTitleApp, section, "lonmin", QStringLiteral("13"));
            writer.save(kTitleApp, section, "WorE", QStringLiteral("E"));
            writer.save(kTitleApp, section, "gmt", QStringLiteral("-9.5"));
            writer.save(kTitleApp, section, "tzname", QStringLiteral("America/Argentina/Ushuaia"));
        }
        writer.save(kTitleApp, directory, "nlist", QString::number(kMaxSavedLocations));
        writer.finish();
    }
    const QString file = store_.filePath(kTitleApp);
    ASSERT_GT(QFileInfo(file).size(), 8 * 1024 * 1024);

    const StoredPlaces places(folder());
    EXPECT_EQ(places.titleFile().problem(), IniProblem::None) << places.titleFile().reason();
    EXPECT_EQ(places.savedLocationNames(), names);
    EXPECT_EQ(places.savedLocation(names.back()).londeg, std::to_string(kMaxSavedLocations % 180));
    EXPECT_TRUE(store_.unreadableReason(kTitleApp).isEmpty());
    const QString last = q(names.back());
    EXPECT_EQ(store_.get(kTitleApp, directory, QStringLiteral("place(%1)").arg(kMaxSavedLocations)),
              last);
    EXPECT_EQ(store_.get(kTitleApp, moonbite::locationSection(last), QStringLiteral("latdeg")),
              QString::number(kMaxSavedLocations % 90));

    store_.save(kTitleApp, QStringLiteral("Settings"), QStringLiteral("graphday"),
                QStringLiteral("30"));
    EXPECT_TRUE(store_.takeReplacedFiles().empty());
    const StoredPlaces after(folder());
    EXPECT_EQ(after.savedLocationNames(), names);
    EXPECT_EQ(after.savedLocation(names.front()).latdeg, "1");
    EXPECT_EQ(after.titleSetting("graphday"), "30");
}

TEST_F(StoredPlacesTest, TheListLengthIsReadAsTheProgramReadsAWholeNumber) {
    const QString dir = QStringLiteral("Settings\\Locations\\");
    store_.save(kTitleApp, dir, QStringLiteral("place(1)"), QStringLiteral("Home"));
    store_.save(kTitleApp, dir, QStringLiteral("place(2)"), QStringLiteral("Away"));
    const char* const texts[] = {"2",
                                 " 2 ",
                                 "+2",
                                 "-1",
                                 "02",
                                 "2x",
                                 "",
                                 "abc",
                                 "2.0",
                                 "0",
                                 "2147483648",
                                 "\xC2\xA0"
                                 "1",
                                 "1,",
                                 "40000",
                                 "99999999999999999999"};
    for (const char* text : texts) {
        store_.save(kTitleApp, dir, QStringLiteral("nlist"), QString::fromUtf8(text));
        const StoredPlaces places(folder());
        const int expected = std::clamp(readInt(store_, keys::nlist), 0, kMaxSavedLocations);
        const auto names = places.savedLocationNames();
        EXPECT_EQ(names.size(), static_cast<std::size_t>(expected)) << "nlist=" << text;
        // Entries past the saved ones are listed as empty names.
        if (names.size() >= 2) {
            EXPECT_EQ(names[0], "Home");
            EXPECT_EQ(names[1], "Away");
            EXPECT_TRUE(std::all_of(names.begin() + 2, names.end(),
                                    [](const std::string& s) { return s.empty(); }));
        }
        EXPECT_EQ(places.isSavedLocation("Away"), expected >= 2) << "nlist=" << text;
    }
}

TEST_F(StoredPlacesTest, AbsentIsNotEmpty) {
    store_.save(kStateApp, QStringLiteral("Settings"), QStringLiteral("gmt"), QString());
    store_.save(kTitleApp, moonbite::locationSection(QString()), QStringLiteral("latdeg"),
                QStringLiteral("5"));
    const StoredPlaces places(folder());
    EXPECT_EQ(places.currentLocation().gmt, "");
    EXPECT_FALSE(places.currentLocation().latdeg);
    EXPECT_FALSE(places.currentLocationName());
    // The empty name has a section of its own, "%00".
    EXPECT_EQ(locationSection(""), "Settings\\Locations\\%00");
    EXPECT_EQ(places.savedLocation("").latdeg, "5");
    EXPECT_FALSE(places.savedLocation("%00").latdeg);
    EXPECT_FALSE(places.savedLocation("other").latdeg);
}

TEST_F(StoredPlacesTest, AnUnusableFileGivesNoValuesAndSaysWhy) {
    store_.save(kTitleApp, QStringLiteral("Settings"), QStringLiteral("Prediction"),
                QStringLiteral("0"));
    const std::string state = folder() + "/Moonbite State.ini";
    ASSERT_EQ(::mkfifo(state.c_str(), 0600), 0);
    const StoredPlaces places(folder());
    EXPECT_EQ(places.stateFile().problem(), IniProblem::NotRegular);
    EXPECT_EQ(places.stateFile().reason(), store_.unreadableReason(kStateApp).toStdString());
    EXPECT_FALSE(places.currentLocation().gmt);
    // The other file is not affected.
    EXPECT_EQ(places.calendarOptions().Prediction, "0");
    EXPECT_EQ(places.titlePath(), QFile::encodeName(store_.filePath(kTitleApp)).toStdString());
    EXPECT_EQ(places.statePath(), state);
}

TEST_F(StoredPlacesTest, TheDefaultFolderIsTheStoresDefaultFolder) {
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = oldConfig != nullptr ? oldConfig : "";
    const std::string config = folder() + "/config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(defaultSettingsFolder(), QFile::encodeName(SettingsStore().folder()).toStdString());
    EXPECT_EQ(StoredPlaces().folder(), config + "/Moonbite");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(defaultSettingsFolder(), QFile::encodeName(SettingsStore().folder()).toStdString());
    if (oldConfig != nullptr) ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
}

}  // namespace
}  // namespace moonbite::storage
