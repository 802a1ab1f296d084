// The settings store on INI files in a temporary folder.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "qstring_print.h"
#include "settings_store.h"

namespace moonbite {
namespace {

class SettingsStoreTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }

    QTemporaryDir dir_;
    SettingsStore store_{dir_.path()};
};

TEST_F(SettingsStoreTest, MissingAtEveryLevelGivesTheDefault) {
    // No file at all.
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday", "15"), "15");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday"), QString());
    EXPECT_FALSE(QFile::exists(path("Moonbite.ini"))) << "reading must not create the file";

    store_.save(kTitleApp, "Settings", "graphday", "20");
    // The file exists, the section does not.
    EXPECT_EQ(store_.get(kTitleApp, "Other", "graphday", "d"), "d");
    // The section exists, the key does not.
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphstyle", "1"), "1");
    // A nested section below an existing one does not.
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "graphday", "x"), "x");
    // An empty key is never a stored value.
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "", "e"), "e");
}

TEST_F(SettingsStoreTest, SavedTextReadsBackAndCanBeReplaced) {
    store_.save(kTitleApp, "Settings", "graphday", "20");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday", "15"), "20");
    store_.save(kTitleApp, "Settings", "graphday", "7");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday", "15"), "7");
    // An empty text is a stored value, not a missing one.
    store_.save(kTitleApp, "Settings", "graphday", "");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday", "15"), "");
    EXPECT_TRUE(store_.writable());
}

TEST_F(SettingsStoreTest, EachApplicationHasItsOwnFile) {
    store_.save(kTitleApp, "Settings", "gmt", "title");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "gmt", "none"), "none");
    store_.save(kStateApp, "Settings", "gmt", "state");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "gmt"), "title");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "gmt"), "state");

    EXPECT_TRUE(QFile::exists(path("Moonbite.ini")));
    EXPECT_TRUE(QFile::exists(path("Moonbite State.ini")));
    EXPECT_EQ(store_.folder(), dir_.path());

    store_.remove(kStateApp, "Settings");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "gmt", "none"), "none");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "gmt"), "title");
}

TEST_F(SettingsStoreTest, RemovingASectionTakesItsKeysAndSubsectionsOnly) {
    store_.save(kTitleApp, "Settings\\Locations\\", "nlist", "2");
    store_.save(kTitleApp, "Settings\\Locations\\Home", "latdeg", "33");
    store_.save(kTitleApp, "Settings\\Locations\\Home\\Extra", "note", "deep");
    store_.save(kTitleApp, "Settings\\Locations\\Homestead", "latdeg", "12");
    // A key of the parent with the same name as the section is not inside it.
    store_.save(kTitleApp, "Settings\\Locations", "Home", "parent key");

    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home\\Extra", "note"), "deep");

    store_.remove(kTitleApp, "Settings\\Locations\\Home");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "latdeg", "gone"), "gone");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home\\Extra", "note", "gone"), "gone");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Homestead", "latdeg"), "12");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "nlist"), "2");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "Home"), "parent key");

    // Removing the whole tree.
    store_.remove(kTitleApp, "Settings");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "nlist", "0"), "0");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Homestead", "latdeg", "0"), "0");
    // A section that is not there is no error.
    store_.remove(kTitleApp, "Nowhere\\Else");
    EXPECT_TRUE(store_.writable());
}

TEST_F(SettingsStoreTest, RemovingAKeyLeavesItsNeighbours) {
    store_.save(kTitleApp, "Settings\\Locations", "nlist", "1");
    store_.save(kTitleApp, "Settings\\Locations", "place(1)", "Home");
    // A section named like the key (a location called "nlist").
    store_.save(kTitleApp, "Settings\\Locations\\nlist", "latdeg", "5");

    store_.remove(kTitleApp, "Settings\\Locations", "nlist");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "nlist", "0"), "0");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "place(1)"), "Home");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\nlist", "latdeg"), "5");

    // Removing a key that is not there changes nothing.
    store_.remove(kTitleApp, "Settings\\Locations", "missing");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "place(1)"), "Home");
}

TEST_F(SettingsStoreTest, TrailingBackslashNamesTheSameSection) {
    store_.save(kTitleApp, "Settings\\Locations\\Home\\", "latdeg", "33");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "latdeg"), "33");
    store_.save(kTitleApp, "Settings\\Locations\\Home", "latmin", "52");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home\\", "latmin"), "52");

    store_.remove(kTitleApp, "Settings\\Locations\\Home\\", "latdeg");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "latdeg", "-"), "-");
    store_.remove(kTitleApp, "Settings\\Locations\\Home\\");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "latmin", "-"), "-");
}

TEST_F(SettingsStoreTest, ASecondStoreOnTheFolderSeesEveryChange) {
    SettingsStore other(dir_.path());
    // Read first so that any cached copy would be stale afterwards.
    EXPECT_EQ(other.get(kStateApp, "Settings", "currentloc", "none"), "none");
    store_.save(kStateApp, "Settings", "currentloc", "Home");
    EXPECT_EQ(other.get(kStateApp, "Settings", "currentloc", "none"), "Home");
    other.save(kStateApp, "Settings", "currentloc", "Lake");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "currentloc", "none"), "Lake");
    store_.remove(kStateApp, "Settings", "currentloc");
    EXPECT_EQ(other.get(kStateApp, "Settings", "currentloc", "none"), "none");
}

TEST_F(SettingsStoreTest, AFileChangedByAnotherProgramIsReadAgain) {
    store_.save(kStateApp, "Settings", "currentloc", "Home");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "currentloc"), "Home");

    QFile file(path("Moonbite State.ini"));
    ASSERT_TRUE(file.open(QFile::WriteOnly | QFile::Truncate));
    file.write("[Settings]\ncurrentloc=Somewhere else\nlatdeg=12\n");
    file.close();

    EXPECT_EQ(store_.get(kStateApp, "Settings", "currentloc"), "Somewhere else");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "latdeg"), "12");
}

TEST_F(SettingsStoreTest, AwkwardTextsRoundTripThroughTheFile) {
    const QStringList values = {
        "a,b",
        "Sydney, NSW, Australia",
        "say \"hi\"",
        "'single'",
        "  leading and trailing  ",
        "\ttab",
        QString::fromUtf8("Lac L\u00e9man"),
        QString::fromUtf8("\u6e56 \U0001F41F"),
        "True",
        "@at sign",
        "@Variant(x)",
        "semi;colon",
        "a=b",
        "back\\slash",
        "two\nlines",
        "#not a comment",
    };
    for (int i = 0; i < values.size(); ++i)
        store_.save(kTitleApp, "Settings\\Locations", QStringLiteral("place(%1)").arg(i + 1),
                    values[i]);
    store_.save(kTitleApp, "Settings", "key with spaces", "v");

    // A copy in another folder is parsed afresh, so this checks the file itself.
    QTemporaryDir copyDir;
    ASSERT_TRUE(QFile::copy(path("Moonbite.ini"), copyDir.path() + "/Moonbite.ini"));
    SettingsStore copy(copyDir.path());
    for (int i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].toStdString());
        const QString key = QStringLiteral("place(%1)").arg(i + 1);
        EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", key), values[i]);
        EXPECT_EQ(copy.get(kTitleApp, "Settings\\Locations", key), values[i]);
    }
    EXPECT_EQ(copy.get(kTitleApp, "Settings", "key with spaces"), "v");
}

TEST_F(SettingsStoreTest, AHandEditedListReadsAsOneText) {
    QFile file(path("Moonbite.ini"));
    ASSERT_TRUE(file.open(QFile::WriteOnly));
    file.write("[Settings]\nplace=Sydney, NSW\n");
    file.close();
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "place"), "Sydney, NSW");
}

TEST(LocationSection, EncodesOnlyWhatWouldSplitOrAliasTheName) {
    EXPECT_EQ(locationSection("Home"), "Settings\\Locations\\Home");
    EXPECT_EQ(locationSection("Lake (north) 2"), "Settings\\Locations\\Lake (north) 2");
    EXPECT_EQ(locationSection("a/b"), "Settings\\Locations\\a%2Fb");
    EXPECT_EQ(locationSection("a\\b"), "Settings\\Locations\\a%5Cb");
    EXPECT_EQ(locationSection("100%"), "Settings\\Locations\\100%25");
    EXPECT_NE(locationSection(""), "Settings\\Locations\\");
}

TEST_F(SettingsStoreTest, LocationNamesWithSeparatorsStayOneSection) {
    const QStringList names = {"a/b", "a\\b", "a%2Fb", "a%5Cb",   "a",  "a b",   "/",       "\\",
                               "%",   "%25",  "",      "x/y\\z%", "..", "Home/", "place(1)"};
    for (int i = 0; i < names.size(); ++i) {
        store_.save(kTitleApp, locationSection(names[i]), "latdeg", QString::number(i));
        store_.save(kTitleApp, locationSection(names[i]), "name", names[i]);
    }
    // Plain nested sections that an unencoded "a/b" or "a\b" would have hit.
    store_.save(kTitleApp, "Settings\\Locations\\a\\b", "latdeg", "nested");
    store_.save(kTitleApp, "Settings\\Locations\\", "nlist", QString::number(names.size()));

    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(store_.get(kTitleApp, locationSection(names[i]), "latdeg"), QString::number(i));
        EXPECT_EQ(store_.get(kTitleApp, locationSection(names[i]), "name"), names[i]);
    }
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\a\\b", "latdeg"), "nested");

    // Deleting "a" leaves "a/b", and deleting the empty name leaves the directory.
    store_.remove(kTitleApp, locationSection("a"));
    store_.remove(kTitleApp, locationSection(""));
    EXPECT_EQ(store_.get(kTitleApp, locationSection("a"), "latdeg", "gone"), "gone");
    EXPECT_EQ(store_.get(kTitleApp, locationSection(""), "latdeg", "gone"), "gone");
    EXPECT_EQ(store_.get(kTitleApp, locationSection("a/b"), "name"), "a/b");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\", "nlist"),
              QString::number(names.size()));
}

// A folder that cannot be created: its parent is a regular file. This stops
// writes even for root.
TEST_F(SettingsStoreTest, AFolderThatCannotBeCreatedIsNotWritable) {
    QFile blocker(path("file"));
    ASSERT_TRUE(blocker.open(QFile::WriteOnly));
    blocker.write("not a folder");
    blocker.close();

    SettingsStore broken(path("file/sub"));
    EXPECT_TRUE(broken.writable()) << "nothing has failed yet";
    EXPECT_EQ(broken.get(kTitleApp, "Settings", "graphday", "15"), "15");

    broken.save(kTitleApp, "Settings", "graphday", "20");
    EXPECT_FALSE(broken.writable());
    EXPECT_EQ(broken.get(kTitleApp, "Settings", "graphday", "15"), "15");
    EXPECT_EQ(readInt(broken, keys::graphday), 15);
    EXPECT_TRUE(readBool(broken, keys::moonorth));

    // Further writes and removals fail quietly and the store stays usable.
    broken.save(kStateApp, "Settings", "currentloc", "Home");
    broken.remove(kStateApp, "Settings", "currentloc");
    broken.remove(kTitleApp, "Settings");
    EXPECT_EQ(broken.get(kStateApp, "Settings", "currentloc", "none"), "none");
    EXPECT_FALSE(broken.writable());
    EXPECT_FALSE(QFileInfo(path("file")).isDir());
}

// The file's name is taken by a folder: the store's folder exists, yet the
// file can be neither read nor written. Qt keeps the parsed state of such a
// file between objects, so this also checks that a failed write is undone.
TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenIsNotWritable) {
    ASSERT_TRUE(QDir().mkpath(path("Moonbite.ini")));
    store_.save(kTitleApp, "Settings", "graphday", "20");
    EXPECT_FALSE(store_.writable());
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday", "15"), "15");
    EXPECT_EQ(readInt(store_, keys::graphday), 15);

    store_.save(kTitleApp, "Settings\\Locations", "nlist", "1");
    store_.remove(kTitleApp, "Settings\\Locations", "nlist");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations", "nlist", "0"), "0");
    EXPECT_TRUE(QFileInfo(path("Moonbite.ini")).isDir());

    // The other application's file is unaffected.
    SettingsStore fresh(dir_.path());
    fresh.save(kStateApp, "Settings", "currentloc", "Home");
    EXPECT_TRUE(fresh.writable());
    EXPECT_EQ(fresh.get(kStateApp, "Settings", "currentloc"), "Home");
}

// A folder without write permission. Root writes regardless, so the case is
// only checked where the permission actually holds.
TEST_F(SettingsStoreTest, AReadOnlyFolderIsNotWritable) {
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    QFile probe(folder + "/probe");
    const bool blocked = !probe.open(QFile::WriteOnly);
    if (!blocked) {
        probe.close();
        probe.remove();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "permissions do not stop writes for this user (uid " << geteuid() << ")";
    }

    SettingsStore locked(folder);
    locked.save(kTitleApp, "Settings", "graphday", "20");
    EXPECT_FALSE(locked.writable());
    EXPECT_EQ(locked.get(kTitleApp, "Settings", "graphday", "15"), "15");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A settings file without write permission, holding values already. A failed
// write must not show through later reads, which report what the file holds.
TEST_F(SettingsStoreTest, AReadOnlyFileKeepsItsValues) {
    store_.save(kTitleApp, "Settings", "graphday", "20");
    store_.save(kTitleApp, "Settings\\Locations\\Home", "latdeg", "33");
    const QString file = path("Moonbite.ini");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner));
    QFile probe(file);
    if (probe.open(QFile::ReadWrite)) {
        probe.close();
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        GTEST_SKIP() << "permissions do not stop writes for this user (uid " << geteuid() << ")";
    }

    store_.save(kTitleApp, "Settings", "graphday", "30");
    EXPECT_FALSE(store_.writable());
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday"), "20");
    store_.save(kTitleApp, "Settings", "graphstyle", "3");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphstyle", "1"), "1");
    store_.remove(kTitleApp, "Settings\\Locations\\Home");
    EXPECT_EQ(store_.get(kTitleApp, "Settings\\Locations\\Home", "latdeg"), "33");
    store_.remove(kTitleApp, "Settings", "graphday");
    EXPECT_EQ(store_.get(kTitleApp, "Settings", "graphday"), "20");

    // A second store on the folder reads the same.
    const SettingsStore other(dir_.path());
    EXPECT_EQ(other.get(kTitleApp, "Settings", "graphday"), "20");
    EXPECT_EQ(other.get(kTitleApp, "Settings", "graphstyle", "1"), "1");
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
}

TEST(SettingsStoreFolder, DefaultsToTheUsersConfigFolder) {
    QStandardPaths::setTestModeEnabled(true);
    const SettingsStore store;
    EXPECT_EQ(
        store.folder(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Moonbite");
    QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
}  // namespace moonbite
