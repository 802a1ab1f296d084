// Settings files that are not what they should be: a FIFO, a folder, an
// oversized or damaged file. None may block, and nothing the user had is lost.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "qstring_print.h"
#include "settings_store.h"

namespace moonbite {
namespace {

class DamagedSettings : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString statePath() const { return path(QStringLiteral("Moonbite State.ini")); }
    QString titlePath() const { return path(QStringLiteral("Moonbite.ini")); }

    static void writeBytes(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QFile::WriteOnly | QFile::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    static QByteArray readBytes(const QString& file) {
        QFile f(file);
        if (!f.open(QFile::ReadOnly)) return {};
        return f.readAll();
    }

    QTemporaryDir dir_;
    SettingsStore store_{dir_.path()};
};

TEST_F(DamagedSettings, AFifoIsNeitherReadNorReplaced) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(statePath()).constData(), 0600), 0);
    // Opening a FIFO for reading would wait for a writer for ever.
    EXPECT_EQ(readText(store_, keys::latdeg), "0");
    EXPECT_EQ(store_.get(kStateApp, "Settings", "currentloc", "none"), "none");
    EXPECT_NE(store_.unreadableReason(kStateApp).indexOf("not a regular file"), -1);
    EXPECT_FALSE(store_.damaged(kStateApp));

    write(store_, keys::latdeg, "33");
    store_.remove(kStateApp, "Settings", "latdeg");
    store_.remove(kStateApp, "Settings");
    EXPECT_FALSE(store_.writable());
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(statePath()).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(store_.takeReplacedFiles().empty());
    // The other application's file is not affected.
    EXPECT_TRUE(store_.unreadableReason(kTitleApp).isEmpty());
}

TEST_F(DamagedSettings, AFolderInPlaceOfTheFileIsReported) {
    ASSERT_TRUE(QDir().mkpath(titlePath()));
    EXPECT_NE(store_.unreadableReason(kTitleApp).indexOf("folder"), -1);
    EXPECT_EQ(readInt(store_, keys::graphday), 15);
}

TEST_F(DamagedSettings, AnOversizedFileIsNotParsedAndIsKeptWhenReplaced) {
    // Valid INI text, just far too much of it: the stored key must not be read.
    QByteArray big = "[Settings]\nlatdeg=45\n";
    while (big.size() <= kMaxSettingsFileSize)
        big += "padding=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
    writeBytes(statePath(), big);
    EXPECT_NE(store_.unreadableReason(kStateApp).indexOf("larger than 64 MiB"), -1);
    EXPECT_TRUE(store_.damaged(kStateApp));
    EXPECT_EQ(readInt(store_, keys::latdeg), 0);

    write(store_, keys::latdeg, "33");
    EXPECT_TRUE(store_.writable());
    EXPECT_EQ(readInt(store_, keys::latdeg), 33);
    EXPECT_TRUE(store_.unreadableReason(kStateApp).isEmpty());
    EXPECT_LT(QFileInfo(statePath()).size(), 1000);
    const auto replaced = store_.takeReplacedFiles();
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0].file, statePath());
    EXPECT_EQ(replaced[0].keptAs, statePath() + ".damaged");
    EXPECT_EQ(readBytes(replaced[0].keptAs), big);
    EXPECT_TRUE(store_.takeReplacedFiles().empty());  // reported once
}

TEST_F(DamagedSettings, BinaryGarbageIsKeptAndTheWriteSucceeds) {
    QByteArray garbage;
    for (int i = 0; i < 600; ++i)
        garbage += static_cast<char>((i * 37 + 11) % 256);
    writeBytes(titlePath(), garbage);
    EXPECT_NE(store_.unreadableReason(kTitleApp).indexOf("damaged"), -1);

    write(store_, keys::graphday, "20");
    // The write went through, so the store must not claim it could not write.
    EXPECT_TRUE(store_.writable());
    EXPECT_EQ(readInt(store_, keys::graphday), 20);
    const auto replaced = store_.takeReplacedFiles();
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(readBytes(replaced[0].keptAs), garbage);
    EXPECT_TRUE(store_.unreadableReason(kTitleApp).isEmpty());
    // A fresh store reads the rewritten file.
    SettingsStore again(dir_.path());
    EXPECT_EQ(readInt(again, keys::graphday), 20);
}

TEST_F(DamagedSettings, GoodKeysOfAPartlyDamagedFileSurviveTheRewrite) {
    const QByteArray text =
        "[Settings]\ncurrentloc=Home Beach\nthis line is not a setting\n"
        "latdeg=33\n";
    writeBytes(statePath(), text);
    EXPECT_TRUE(store_.damaged(kStateApp));
    EXPECT_EQ(readText(store_, keys::currentloc), "Home Beach");

    write(store_, keys::latmin, "52");
    EXPECT_TRUE(store_.writable());
    EXPECT_EQ(readText(store_, keys::currentloc), "Home Beach");
    EXPECT_EQ(readInt(store_, keys::latdeg), 33);
    EXPECT_EQ(readInt(store_, keys::latmin), 52);
    const auto replaced = store_.takeReplacedFiles();
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(readBytes(replaced[0].keptAs), text);
}

TEST_F(DamagedSettings, KeptCopiesAreNeverOverwritten) {
    writeBytes(statePath() + ".damaged", "first");
    writeBytes(statePath() + ".damaged.2", "second");
    writeBytes(statePath(), QByteArray("bad\0bytes", 9));
    write(store_, keys::latdeg, "10");
    EXPECT_EQ(readBytes(statePath() + ".damaged"), "first");
    EXPECT_EQ(readBytes(statePath() + ".damaged.2"), "second");
    EXPECT_EQ(readBytes(statePath() + ".damaged.3"), QByteArray("bad\0bytes", 9));

    // Damaged again: the next free name.
    writeBytes(statePath(), QByteArray("worse\0", 6));
    write(store_, keys::latdeg, "11");
    EXPECT_EQ(readBytes(statePath() + ".damaged.4"), QByteArray("worse\0", 6));
    EXPECT_EQ(readInt(store_, keys::latdeg), 11);
}

TEST_F(DamagedSettings, ADanglingLinkIsReportedNotFollowedIntoAWrite) {
    ASSERT_TRUE(QFile::link(path("nowhere/at/all.ini"), statePath()));
    EXPECT_NE(store_.unreadableReason(kStateApp).indexOf("link to nothing"), -1);
    write(store_, keys::latdeg, "10");
    EXPECT_FALSE(store_.writable());
    EXPECT_TRUE(QFileInfo(statePath()).isSymLink());
}

// Another program wrote a name in Latin-1. The store reads it as QSettings
// does, with U+FFFD for the byte, and can only write that back: the first
// write keeps the old bytes, and says so once.
TEST_F(DamagedSettings, TextThatIsNotUtf8IsKeptBeforeItsFirstRewrite) {
    const QByteArray latin1 =
        "[Settings]\ncurrentloc=Caf\xe9"
        " du Port\nlatdeg=33\n";
    writeBytes(statePath(), latin1);
    EXPECT_TRUE(store_.unreadableReason(kStateApp).isEmpty());
    EXPECT_FALSE(store_.damaged(kStateApp));
    const QString shown = QStringLiteral("Caf\uFFFD du Port");
    EXPECT_EQ(readText(store_, keys::currentloc), shown);

    write(store_, keys::latmin, "52");
    EXPECT_TRUE(store_.writable());
    const auto replaced = store_.takeReplacedFiles();
    ASSERT_EQ(replaced.size(), 1u);
    EXPECT_EQ(replaced[0].why, SettingsStore::Replaced::Why::NotUtf8);
    EXPECT_EQ(replaced[0].file, statePath());
    EXPECT_EQ(replaced[0].keptAs, statePath() + ".damaged");
    EXPECT_EQ(readBytes(statePath() + ".damaged"), latin1);
    EXPECT_EQ(readText(store_, keys::currentloc), shown);
    EXPECT_EQ(readInt(store_, keys::latdeg), 33);
    EXPECT_EQ(readInt(store_, keys::latmin), 52);

    // The rewritten file is UTF-8: no second copy.
    write(store_, keys::lonmin, "13");
    EXPECT_TRUE(store_.takeReplacedFiles().empty());
    EXPECT_FALSE(QFile::exists(statePath() + ".damaged.2"));
}

TEST_F(DamagedSettings, AFileRepairedByHandIsReadAgain) {
    writeBytes(titlePath(), QByteArray("x\0y", 3));
    EXPECT_TRUE(store_.damaged(kTitleApp));
    writeBytes(titlePath(), "[Settings]\ngraphday=30\n");
    EXPECT_FALSE(store_.damaged(kTitleApp));
    EXPECT_EQ(readInt(store_, keys::graphday), 30);
}

}  // namespace
}  // namespace moonbite
