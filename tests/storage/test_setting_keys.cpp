// The key table and the typed readers over it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <climits>
#include <string>

#include "qstring_print.h"
#include "settings_store.h"

namespace moonbite {
namespace {

struct Expected {
    const SettingKey* key;
    QString app;
    QString section;
    QString name;
    QString defaultValue;
};

TEST(SettingKeys, TableHoldsEachKeyWithItsApplicationSectionAndDefault) {
    const QString title = "Moonbite";
    const QString state = "Moonbite State";
    const Expected table[] = {
        {&keys::daterep, title, "Settings", "daterep", "False"},
        {&keys::winstate, title, "Settings", "winstate", "0"},
        {&keys::Chartcolor, title, "Settings", "Chartcolor", "12615680"},
        {&keys::graphstyle, title, "Settings", "graphstyle", "1"},
        {&keys::graphday, title, "Settings", "graphday", "15"},
        {&keys::Prediction, title, "Settings", "Prediction", "1"},
        {&keys::Sunrise, title, "Settings", "Sunrise", "0"},
        {&keys::Moonrise, title, "Settings", "Moonrise", "0"},
        {&keys::Majorminor, title, "Settings", "Majorminor", "1"},
        {&keys::Newfull, title, "Settings", "Newfull", "0"},
        {&keys::nlist, title, "Settings\\Locations\\", "nlist", "0"},
        {&keys::currentloc, state, "Settings", "currentloc", ""},
        {&keys::latdeg, state, "Settings", "latdeg", "0"},
        {&keys::latmin, state, "Settings", "latmin", "0"},
        {&keys::NorS, state, "Settings", "NorS", "N"},
        {&keys::londeg, state, "Settings", "londeg", "0"},
        {&keys::lonmin, state, "Settings", "lonmin", "0"},
        {&keys::WorE, state, "Settings", "WorE", "W"},
        {&keys::gmtInSettingsFrame, state, "Settings", "gmt", "0"},
        {&keys::gmtForComputation, state, "Settings", "gmt", "13"},
        {&keys::gmtv, state, "Settings", "gmtv", "True"},
        {&keys::daylight, state, "Settings", "daylight", "1"},
        {&keys::custom, state, "Settings", "custom", "False"},
        {&keys::runalarm, state, "Settings", "runalarm", "False"},
        {&keys::daytype, state, "Settings", "daytype", "1"},
        {&keys::daysinadvance, state, "Settings", "daysinadvance", "2"},
        {&keys::showmoon, state, "Settings", "showmoon", "1"},
        {&keys::showfish, state, "Settings", "showfish", "1"},
        {&keys::moonorth, state, "Settings", "moonorth", "True"},
        {&keys::textipshow, state, "Settings", "textipshow", "True"},
    };
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    for (const Expected& e : table) {
        SCOPED_TRACE(e.name.toStdString());
        EXPECT_EQ(e.key->app, e.app);
        EXPECT_EQ(QString::fromUtf8(e.key->section), e.section);
        EXPECT_EQ(QString::fromUtf8(e.key->key), e.name);
        EXPECT_EQ(QString::fromUtf8(e.key->defaultValue), e.defaultValue);
        // With nothing stored, the reader gives the default.
        EXPECT_EQ(readText(store, *e.key), e.defaultValue);
    }
}

class TypedReaders : public ::testing::Test {
  protected:
    void store(const SettingKey& key, const QString& text) { write(store_, key, text); }

    QTemporaryDir dir_;
    SettingsStore store_{dir_.path()};
};

TEST_F(TypedReaders, WriteStoresUnderTheKeysApplicationAndSection) {
    write(store_, keys::currentloc, "Lake Eildon");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "currentloc"), "Lake Eildon");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "currentloc", "none"), "none");
    EXPECT_EQ(readText(store_, keys::currentloc), "Lake Eildon");

    write(store_, keys::nlist, "3");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "nlist"), "3");
    EXPECT_EQ(readInt(store_, keys::nlist), 3);
}

TEST_F(TypedReaders, TheTwoGmtEntriesShareOneValueButNotTheirDefaults) {
    EXPECT_EQ(readReal(store_, keys::gmtInSettingsFrame), 0.0);
    EXPECT_EQ(readReal(store_, keys::gmtForComputation), 13.0);
    store(keys::gmtInSettingsFrame, "9.5");
    EXPECT_EQ(readReal(store_, keys::gmtForComputation), 9.5);
    EXPECT_EQ(readReal(store_, keys::gmtInSettingsFrame), 9.5);
}

TEST_F(TypedReaders, WholeNumbers) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"20", 20},
        {"-7", -7},
        {"+4", 4},
        {"  12  ", 12},
        {"0", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        // Not whole numbers: the default, 15.
        {"abc", 15},
        {"12a", 15},
        {"", 15},
        {"1e99", 15},
        {"1.5", 15},
        {"2147483648", 15},
        {"-2147483649", 15},
        {"99999999999", 15},
        {"0x10", 15},
        {"1 2", 15},
        {"- 3", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        store(keys::graphday, c.text);
        EXPECT_EQ(readInt(store_, keys::graphday), c.expected);
    }
    store(keys::Chartcolor, "zzz");
    EXPECT_EQ(readInt(store_, keys::Chartcolor), 12615680);
    store(keys::Chartcolor, "255");
    EXPECT_EQ(readInt(store_, keys::Chartcolor), 255);
}

TEST_F(TypedReaders, WholeNumbersInRange) {
    store(keys::graphstyle, "42");
    EXPECT_EQ(readInt(store_, keys::graphstyle), 42) << "readInt itself does not check ranges";
    EXPECT_EQ(readIntInRange(store_, keys::graphstyle, 0, 7), 1);
    store(keys::graphstyle, "7");
    EXPECT_EQ(readIntInRange(store_, keys::graphstyle, 0, 7), 7);
    store(keys::graphstyle, "0");
    EXPECT_EQ(readIntInRange(store_, keys::graphstyle, 0, 7), 0);
    store(keys::graphstyle, "8");
    EXPECT_EQ(readIntInRange(store_, keys::graphstyle, 0, 7), 1);

    store(keys::winstate, "-3");
    EXPECT_EQ(readIntInRange(store_, keys::winstate, 0, 2), 0);
    store(keys::winstate, "2");
    EXPECT_EQ(readIntInRange(store_, keys::winstate, 0, 2), 2);

    store(keys::Chartcolor, "16777216");
    EXPECT_EQ(readIntInRange(store_, keys::Chartcolor, 0, 16777215), 12615680);
    store(keys::Chartcolor, "16777215");
    EXPECT_EQ(readIntInRange(store_, keys::Chartcolor, 0, 16777215), 16777215);
    store(keys::Chartcolor, "abc");
    EXPECT_EQ(readIntInRange(store_, keys::Chartcolor, 0, 16777215), 12615680);
}

TEST_F(TypedReaders, DecimalNumbers) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"9.5", 9.5},
        {"-5", -5.0},
        {" 5.75 ", 5.75},
        {"+3", 3.0},
        {"-3.5", -3.5},
        {".5", 0.5},
        {"10", 10.0},
        // Not numbers: the default, 13.
        {"abc", 13.0},
        {"9,5", 13.0},
        {"", 13.0},
        {"nan", 13.0},
        {"inf", 13.0},
        {"5h", 13.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        store(keys::gmtForComputation, c.text);
        EXPECT_EQ(readReal(store_, keys::gmtForComputation), c.expected);
    }
}

TEST_F(TypedReaders, Booleans) {
    const struct {
        const char* text;
        bool expected;
    } cases[] = {
        {"True", true},
        {"true", true},
        {"TRUE", true},
        {" True ", true},
        {"False", false},
        {"false", false},
        {"FALSE", false},
        {"0", false},
        {"-1", true},
        {"1", true},
        {"2", true},
        {"0.0", false},
        {"0.5", true},
        // Anything else: the default, False.
        {"maybe", false},
        {"", false},
        {"yes", false},
        {"Truex", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        store(keys::daterep, c.text);
        EXPECT_EQ(readBool(store_, keys::daterep), c.expected);
    }

    // The same garbage gives the default of the key read, here True.
    store(keys::moonorth, "maybe");
    EXPECT_TRUE(readBool(store_, keys::moonorth));
    store(keys::moonorth, "0");
    EXPECT_FALSE(readBool(store_, keys::moonorth));
    store(keys::moonorth, "-1");
    EXPECT_TRUE(readBool(store_, keys::moonorth));
    // The numeric default "1" counts as true.
    store(keys::showmoon, "perhaps");
    EXPECT_TRUE(readBool(store_, keys::showmoon));
    store(keys::Sunrise, "perhaps");
    EXPECT_FALSE(readBool(store_, keys::Sunrise));
}

TEST(BoolText, IsTrueOrFalseAndReadsBack) {
    EXPECT_EQ(boolText(true), "True");
    EXPECT_EQ(boolText(false), "False");

    QTemporaryDir dir;
    SettingsStore store(dir.path());
    for (const bool value : {true, false}) {
        write(store, keys::runalarm, boolText(value));
        EXPECT_EQ(readBool(store, keys::runalarm), value);
        write(store, keys::gmtv, boolText(value));
        EXPECT_EQ(readBool(store, keys::gmtv), value);
    }
}

}  // namespace
}  // namespace moonbite
