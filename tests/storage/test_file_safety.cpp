// Settings files that are not what they should be: a FIFO, a folder, links,
// an oversized, unreadable or damaged file. The reader must never block and
// must say what the settings store says about each.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "ini_reader.h"
#include "qt_reference.h"
#include "settings_store.h"

namespace moonbite::storage {
namespace {

class FileSafety : public ::testing::Test {
  protected:
    QString statePath() const { return dir_.path() + QStringLiteral("/Moonbite State.ini"); }
    std::string stateFile() const { return QFile::encodeName(statePath()).toStdString(); }

    // The reader's verdict on the state file, checked against the store's.
    IniFile loadAndCompare() {
        const IniFile mine = IniFile::load(stateFile());
        EXPECT_EQ(mine.reason(), store_.unreadableReason(kStateApp).toStdString());
        const QString absent = QStringLiteral("(absent)");
        const QString theirs =
            store_.get(kStateApp, QStringLiteral("Settings"), QStringLiteral("gmt"), absent);
        const auto gmt = mine.get("Settings", "gmt");
        EXPECT_EQ(gmt.value_or("(absent)"), theirs.toStdString());
        return mine;
    }

    QTemporaryDir dir_{qtref::scratchTemplate()};
    SettingsStore store_{dir_.path()};
};

TEST_F(FileSafety, NoFileYetIsEmptyWithoutAProblem) {
    const IniFile f = loadAndCompare();
    EXPECT_FALSE(f.exists());
    EXPECT_EQ(f.problem(), IniProblem::None);
    EXPECT_TRUE(f.keys().empty());
}

TEST_F(FileSafety, AFifoIsNeverOpened) {
    ASSERT_EQ(::mkfifo(stateFile().c_str(), 0600), 0);
    // Opening a FIFO for reading without O_NONBLOCK waits for a writer for ever.
    const IniFile f = loadAndCompare();
    EXPECT_TRUE(f.exists());
    EXPECT_EQ(f.problem(), IniProblem::NotRegular);
    EXPECT_EQ(f.reason(), "it is not a regular file");
    EXPECT_FALSE(f.readable());
}

TEST_F(FileSafety, AFolderAndLinksToNothing) {
    ASSERT_TRUE(QDir().mkpath(statePath()));
    const IniFile folder = loadAndCompare();
    EXPECT_EQ(folder.problem(), IniProblem::NotRegular);
    EXPECT_EQ(folder.reason(), "it is a folder");
    ASSERT_TRUE(QDir().rmdir(statePath()));

    ASSERT_EQ(::symlink("nowhere.ini", stateFile().c_str()), 0);
    const IniFile dangling = loadAndCompare();
    EXPECT_EQ(dangling.problem(), IniProblem::NotRegular);
    EXPECT_EQ(dangling.reason(), "it is a link to nothing");
    ASSERT_EQ(::unlink(stateFile().c_str()), 0);

    // A link to itself: stat fails with ELOOP.
    ASSERT_EQ(::symlink("Moonbite State.ini", stateFile().c_str()), 0);
    const IniFile loop = loadAndCompare();
    EXPECT_EQ(loop.problem(), IniProblem::CannotRead);
    EXPECT_EQ(loop.reason().rfind("it cannot be opened: ", 0), 0U) << loop.reason();
}

TEST_F(FileSafety, ALinkToAGoodFileIsRead) {
    const QString target = dir_.path() + QStringLiteral("/real.ini");
    qtref::writeBytes(target, "[Settings]\ngmt=10\n");
    ASSERT_EQ(::symlink("real.ini", stateFile().c_str()), 0);
    const IniFile f = loadAndCompare();
    EXPECT_EQ(f.problem(), IniProblem::None);
    EXPECT_EQ(f.get("Settings", "gmt"), "10");
}

TEST_F(FileSafety, TheSizeLimitIsReadOneByteMoreIsNot) {
    std::string bytes = "[Settings]\ngmt=10\npad=";
    bytes.resize(kMaxIniFileSize - 1, 'x');
    bytes += '\n';
    qtref::writeBytes(statePath(), bytes);
    const IniFile atLimit = loadAndCompare();
    EXPECT_EQ(atLimit.problem(), IniProblem::None);
    EXPECT_EQ(atLimit.get("Settings", "gmt"), "10");

    bytes += 'x';
    qtref::writeBytes(statePath(), bytes);
    const IniFile over = loadAndCompare();
    EXPECT_EQ(over.problem(), IniProblem::TooLarge);
    EXPECT_EQ(over.reason(), "it is larger than 64 MiB");
    EXPECT_FALSE(over.get("Settings", "gmt"));
    EXPECT_TRUE(store_.oversized(kStateApp));
}

TEST_F(FileSafety, AFileWithoutReadPermissionIsJudgedAsTheStoreJudgesIt) {
    // Without the permission the open fails, with the reason; a user who may
    // read anything (root) reads it. Either way both readers agree.
    qtref::writeBytes(statePath(), "[Settings]\ngmt=10\n");
    ASSERT_EQ(::chmod(stateFile().c_str(), 0), 0);
    const IniFile f = loadAndCompare();
    if (f.problem() == IniProblem::CannotRead)
        EXPECT_EQ(f.reason(), "it cannot be read: Permission denied");
    else
        EXPECT_EQ(f.get("Settings", "gmt"), "10");
    ::chmod(stateFile().c_str(), 0600);
}

TEST_F(FileSafety, DamagedFilesAreStillReadForWhatTheyHold) {
    qtref::writeBytes(statePath(), "[Settings]\ngmt=10\n<<garbage>>\n");
    const IniFile junk = loadAndCompare();
    EXPECT_EQ(junk.problem(), IniProblem::Damaged);
    EXPECT_TRUE(junk.readable());
    EXPECT_EQ(junk.get("Settings", "gmt"), "10");

    qtref::writeBytes(statePath(), std::string("[Settings]\ngmt=9\n\0\0\0", 20));
    const IniFile binary = loadAndCompare();
    EXPECT_EQ(binary.problem(), IniProblem::Damaged);
    EXPECT_EQ(binary.reason(), "it is damaged (it holds binary data)");
    EXPECT_EQ(binary.get("Settings", "gmt"), "9");
}

}  // namespace
}  // namespace moonbite::storage
