// Journal entries on disk, in temporary folders.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>

#include "journal_file.h"
#include "journal_support.h"

namespace moonbite {
namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    return f.readAll();
}

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Every name in the folder, hidden ones included: temporary files must not linger.
QStringList allNames(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

bool runningAsRoot() {
    return geteuid() == 0;
}

class JournalFiles : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QTemporaryDir dir_;
};

// --- Saving and reading back ------------------------------------------------------

TEST_F(JournalFiles, SavedEntryReadsBackWithEveryField) {
    const JournalEntry rich = richEntry();
    QString error = "untouched";
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 1, rich, &error));
    EXPECT_EQ(error, "untouched") << "success leaves the message alone";
    const JournalReadResult r = readJournalEntry(dir_.path(), 1);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.entry, rich);

    // An entry with every field empty is an entry too.
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 2, JournalEntry{}, nullptr));
    const JournalReadResult empty = readJournalEntry(dir_.path(), 2);
    EXPECT_EQ(empty.status, JournalReadStatus::Ok);
    EXPECT_EQ(empty.entry, JournalEntry{});
}

TEST_F(JournalFiles, SavedFileHoldsTheFormatsBytes) {
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 12, sampleEntry(), nullptr));
    const QByteArray bytes = fileBytes(path("jour12.dat"));
    EXPECT_EQ(bytes, formatJournalEntry(sampleEntry()));
    EXPECT_TRUE(bytes.startsWith("\"Date:\",\"25\",\"3\",\"1999\"\r\n"));
    EXPECT_TRUE(bytes.endsWith("\"Best Time:\",\"06:10-08:10\"\r\n"));
    // 13 lines plus the one inside the notes.
    EXPECT_EQ(bytes.count("\r\n"), 14);
}

TEST_F(JournalFiles, QuoteInAFieldIsStoredAsATypographicQuote) {
    JournalEntry e = sampleEntry();
    e.notes = "The \"old pier\" again";
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 1, e, nullptr));
    const JournalReadResult r = readJournalEntry(dir_.path(), 1);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry.notes,
              QString("The ") + QChar(0x201C) + "old pier" + QChar(0x201D) + " again");
    EXPECT_EQ(r.entry, storedJournalEntry(e));
}

TEST_F(JournalFiles, EntryThreeIsWrittenWhenOneAndTwoDoNotExist) {
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 3, sampleEntry(), nullptr));
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour3.dat"});
    EXPECT_EQ(journalEntryNumbers(dir_.path()), QList<int>{3});
    EXPECT_EQ(readJournalEntry(dir_.path(), 1).status, JournalReadStatus::Missing);
    EXPECT_EQ(readJournalEntry(dir_.path(), 2).status, JournalReadStatus::Missing);
    EXPECT_EQ(readJournalEntry(dir_.path(), 3).entry, sampleEntry());
}

TEST_F(JournalFiles, SavingAgainReplacesTheEntryAndLeavesNoTemporaryFile) {
    JournalEntry first = sampleEntry();
    first.notes = QString(5000, QChar('x'));
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 5, first, nullptr));
    const JournalEntry second = sampleEntry();
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 5, second, nullptr));
    EXPECT_EQ(fileBytes(path("jour5.dat")), formatJournalEntry(second)) << "no tail of the old";
    EXPECT_EQ(readJournalEntry(dir_.path(), 5).entry, second);
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour5.dat"});
}

TEST_F(JournalFiles, FileNamesFollowTheEntryNumber) {
    EXPECT_EQ(journalFilePath("/j", 1), "/j/jour1.dat");
    EXPECT_EQ(journalFilePath("/j", 12), "/j/jour12.dat");
    EXPECT_EQ(journalFilePath("/j/", 100), "/j/jour100.dat");
    EXPECT_EQ(journalFilePath("/j", kMaxJournalEntry), "/j/jour32767.dat");
    ASSERT_TRUE(writeJournalEntry(dir_.path(), kMaxJournalEntry, sampleEntry(), nullptr));
    EXPECT_TRUE(QFileInfo::exists(path("jour32767.dat")));
    EXPECT_EQ(readJournalEntry(dir_.path(), kMaxJournalEntry).status, JournalReadStatus::Ok);
}

TEST_F(JournalFiles, EntryNumbersOutsideTheRangeAreRefused) {
    // Files that must not be reached through a bad number.
    ASSERT_TRUE(putFile(path("jour0.dat"), formatJournalEntry(sampleEntry())));
    ASSERT_TRUE(putFile(path("jour-1.dat"), formatJournalEntry(sampleEntry())));
    ASSERT_TRUE(putFile(path("jour32768.dat"), formatJournalEntry(sampleEntry())));
    for (const int n : {0, -1, kMaxJournalEntry + 1, -32768, 2147483647}) {
        EXPECT_TRUE(journalFilePath(dir_.path(), n).isEmpty()) << n;
        const JournalReadResult r = readJournalEntry(dir_.path(), n);
        EXPECT_EQ(r.status, JournalReadStatus::Missing) << n;
        EXPECT_TRUE(r.error.contains(QString::number(n))) << r.error.toStdString();
        EXPECT_EQ(r.entry, JournalEntry{});
        QString error;
        EXPECT_FALSE(writeJournalEntry(dir_.path(), n, sampleEntry(), &error)) << n;
        EXPECT_TRUE(error.contains(QString::number(n))) << error.toStdString();
    }
    EXPECT_EQ(allNames(dir_.path()), (QStringList{"jour-1.dat", "jour0.dat", "jour32768.dat"}));
}

// --- Reading files that are not good entries ------------------------------------------

TEST_F(JournalFiles, MissingEntryIsMissing) {
    const JournalReadResult r = readJournalEntry(dir_.path(), 4);
    EXPECT_EQ(r.status, JournalReadStatus::Missing);
    EXPECT_TRUE(r.error.contains("jour4.dat")) << r.error.toStdString();
    EXPECT_EQ(readJournalEntry(path("no such folder"), 1).status, JournalReadStatus::Missing);
    EXPECT_TRUE(allNames(dir_.path()).isEmpty()) << "reading creates nothing";
}

TEST_F(JournalFiles, ShortGarbageAndDirectoryEntriesAreBroken) {
    QByteArray shortFile = formatJournalEntry(sampleEntry());
    shortFile.chop(40);
    ASSERT_TRUE(putFile(path("jour1.dat"), shortFile));
    ASSERT_TRUE(putFile(path("jour2.dat"), QByteArray("\x7f"
                                                      "ELF\x02\x01\x01\0\0\0",
                                                      10)));
    ASSERT_TRUE(putFile(path("jour3.dat"), "Caught two bass near the pier.\r\n"));
    ASSERT_TRUE(putFile(path("jour4.dat"), ""));
    ASSERT_TRUE(QDir().mkdir(path("jour5.dat")));
    for (int n = 1; n <= 5; ++n) {
        const JournalReadResult r = readJournalEntry(dir_.path(), n);
        EXPECT_EQ(r.status, JournalReadStatus::Broken) << n;
        EXPECT_TRUE(r.error.contains(QStringLiteral("jour%1.dat").arg(n))) << r.error.toStdString();
        EXPECT_EQ(r.entry, JournalEntry{}) << n;
    }
}

TEST_F(JournalFiles, CodePageFileOnDiskReads) {
    QByteArray bytes = formatJournalEntry(sampleEntry());
    bytes.replace("50 22.5 N", "Lac L\xE9man \x80");
    ASSERT_TRUE(putFile(path("jour9.dat"), bytes));
    const JournalReadResult r = readJournalEntry(dir_.path(), 9);
    ASSERT_EQ(r.status, JournalReadStatus::Ok) << r.error.toStdString();
    EXPECT_EQ(r.entry.gps1, QString::fromUtf8("Lac L\xC3\xA9man \xE2\x82\xAC"));
}

// --- Folders and failures -------------------------------------------------------------

TEST_F(JournalFiles, MissingFolderIsCreated) {
    const QString folder = path("data/Moonbite/journal");
    ASSERT_TRUE(writeJournalEntry(folder, 1, sampleEntry(), nullptr));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(readJournalEntry(folder, 1).entry, sampleEntry());
}

TEST_F(JournalFiles, FolderThatCannotBeCreatedFailsNamingTheFile) {
    ASSERT_TRUE(putFile(path("plain file"), "not a folder"));
    for (const QString& folder : {path("plain file"), path("plain file/journal")}) {
        QString error;
        EXPECT_FALSE(writeJournalEntry(folder, 7, sampleEntry(), &error)) << folder.toStdString();
        EXPECT_TRUE(error.contains("jour7.dat")) << error.toStdString();
    }
    EXPECT_EQ(fileBytes(path("plain file")), "not a folder");
    EXPECT_EQ(allNames(dir_.path()), QStringList{"plain file"});
}

// Lowers the largest file this process may write; writes past it fail with
// EFBIG as on a full disk, and that holds for root as well.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

TEST_F(JournalFiles, FailedWriteLeavesTheOldEntryIntact) {
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 4, sampleEntry(), nullptr));
    const QByteArray before = fileBytes(path("jour4.dat"));
    JournalEntry bigger = sampleEntry();
    bigger.notes = QString(20000, QChar('n'));
    QString error;
    bool written = true;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        written = writeJournalEntry(dir_.path(), 4, bigger, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains("jour4.dat")) << error.toStdString();
    EXPECT_EQ(fileBytes(path("jour4.dat")), before);
    EXPECT_EQ(readJournalEntry(dir_.path(), 4).entry, sampleEntry());
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour4.dat"}) << "the partial copy is gone";

    // With room again the same entry saves.
    EXPECT_TRUE(writeJournalEntry(dir_.path(), 4, bigger, nullptr));
    EXPECT_EQ(readJournalEntry(dir_.path(), 4).entry, bigger);
}

// --- Saving over a damaged entry ----------------------------------------------------------

TEST_F(JournalFiles, SavingOverADamagedEntryKeepsItsBytesFirst) {
    const QByteArray firstJunk("Caught two bass near the pier.\r\n");
    ASSERT_TRUE(putFile(path("jour3.dat"), firstJunk));
    QString kept;
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 3, sampleEntry(), nullptr, &kept));
    EXPECT_EQ(kept, path("jour3.dat.damaged"));
    EXPECT_EQ(fileBytes(path("jour3.dat.damaged")), firstJunk);
    EXPECT_EQ(readJournalEntry(dir_.path(), 3).entry, sampleEntry());

    // Damaged again: the first copy stays, the second gets the next name.
    QByteArray cut = formatJournalEntry(sampleEntry());
    cut.chop(30);
    ASSERT_TRUE(putFile(path("jour3.dat"), cut));
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 3, richEntry(), nullptr, &kept));
    EXPECT_EQ(kept, path("jour3.dat.damaged.2"));
    EXPECT_EQ(fileBytes(path("jour3.dat.damaged")), firstJunk);
    EXPECT_EQ(fileBytes(path("jour3.dat.damaged.2")), cut);
    EXPECT_EQ(readJournalEntry(dir_.path(), 3).entry, richEntry());

    // A good entry is simply replaced.
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 3, sampleEntry(), nullptr, &kept));
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(allNames(dir_.path()),
              (QStringList{"jour3.dat", "jour3.dat.damaged", "jour3.dat.damaged.2"}));
    EXPECT_EQ(journalEntryNumbers(dir_.path()), QList<int>{3}) << "copies are no entries";
}

TEST_F(JournalFiles, KeptCopyNeverReplacesAnythingOfItsName) {
    // Whatever holds the first names, even a link to nowhere, is left alone.
    ASSERT_TRUE(putFile(path("jour2.dat"), "junk"));
    ASSERT_TRUE(putFile(path("jour2.dat.damaged"), "an older copy"));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("jour2.dat.damaged.2")));
    QString kept;
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 2, sampleEntry(), nullptr, &kept));
    EXPECT_EQ(kept, path("jour2.dat.damaged.3"));
    EXPECT_EQ(fileBytes(path("jour2.dat.damaged")), "an older copy");
    EXPECT_EQ(QFile::symLinkTarget(path("jour2.dat.damaged.2")), path("nowhere"));
    EXPECT_FALSE(QFileInfo::exists(path("nowhere")));
    EXPECT_EQ(fileBytes(path("jour2.dat.damaged.3")), "junk");
}

TEST_F(JournalFiles, DamagedEntryBehindALinkIsNeitherReplacedNorCopied) {
    // Once the save wrote through the link and renamed the old bytes beside
    // it; now the link and the file it points at stay as they are.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("old.dat");
    ASSERT_TRUE(putFile(target, "junk behind a link"));
    ASSERT_TRUE(QFile::link(target, path("jour8.dat")));
    QString kept;
    EXPECT_FALSE(writeJournalEntry(dir_.path(), 8, sampleEntry(), nullptr, &kept));
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(fileBytes(target), "junk behind a link");
    EXPECT_TRUE(QFileInfo(path("jour8.dat")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(path("jour8.dat.damaged")));
}

TEST_F(JournalFiles, FailedSaveOverADamagedEntryLeavesItAndNoCopy) {
    ASSERT_TRUE(putFile(path("jour4.dat"), "junk"));
    JournalEntry bigger = sampleEntry();
    bigger.notes = QString(20000, QChar('n'));
    QString error;
    QString kept = "untouched";
    bool written = true;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        written = writeJournalEntry(dir_.path(), 4, bigger, &error, &kept);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(fileBytes(path("jour4.dat")), "junk");
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour4.dat"});
}

TEST_F(JournalFiles, EntryThatIsADirectoryIsNotReplaced) {
    ASSERT_TRUE(QDir().mkdir(path("jour6.dat")));
    QString error;
    EXPECT_FALSE(writeJournalEntry(dir_.path(), 6, sampleEntry(), &error));
    EXPECT_TRUE(error.contains("jour6.dat")) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path("jour6.dat")).isDir());
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour6.dat"});
}

TEST_F(JournalFiles, ReadOnlyFolderKeepsTheOldEntry) {
    if (runningAsRoot()) GTEST_SKIP() << "permissions do not stop root from writing";
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 2, sampleEntry(), nullptr));
    const QByteArray before = fileBytes(path("jour2.dat"));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    QString error;
    const bool written = writeJournalEntry(dir_.path(), 2, richEntry(), &error);
    const bool newWritten = writeJournalEntry(dir_.path(), 3, richEntry(), nullptr);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_FALSE(newWritten);
    EXPECT_TRUE(error.contains("jour2.dat")) << error.toStdString();
    EXPECT_EQ(fileBytes(path("jour2.dat")), before);
    EXPECT_EQ(allNames(dir_.path()), QStringList{"jour2.dat"});
}

// --- Listing ---------------------------------------------------------------------------

TEST_F(JournalFiles, EntryNumbersListOnlyJournalFilesInNumericOrder) {
    for (const char* name :
         {"jour10.dat",    "jour2.dat",     "jour1.dat",     "jour32767.dat",       "jour100.dat",
          "jour0.dat",     "jour40000.dat", "jour32768.dat", "jour99999999999.dat", "jourx.dat",
          "jour.dat",      "jour01.dat",    "jour-3.dat",    "jour+4.dat",          "jour 5.dat",
          "jour6.dat.bak", "jour7.dat~",    "JOUR8.DAT",     "jour9.DAT",           "xjour11.dat",
          "notes.txt",     ".jour12.dat"}) {
        ASSERT_TRUE(putFile(path(name), "x")) << name;
    }
    // A folder is no entry, but it is listed so that it can be reported as unreadable.
    ASSERT_TRUE(QDir().mkdir(path("jour13.dat")));
    EXPECT_EQ(journalEntryNumbers(dir_.path()), (QList<int>{1, 2, 10, 13, 100, 32767}));
}

TEST_F(JournalFiles, EntryNumbersOfAMissingOrEmptyFolderAreNone) {
    EXPECT_TRUE(journalEntryNumbers(dir_.path()).isEmpty());
    EXPECT_TRUE(journalEntryNumbers(path("missing")).isEmpty());
}

TEST_F(JournalFiles, EntryNumbersIncludeBrokenFiles) {
    // The list is of files; whether they read is for the reader to say.
    ASSERT_TRUE(putFile(path("jour4.dat"), "garbage"));
    ASSERT_TRUE(writeJournalEntry(dir_.path(), 3, sampleEntry(), nullptr));
    EXPECT_EQ(journalEntryNumbers(dir_.path()), (QList<int>{3, 4}));
}

// --- The journal folder -------------------------------------------------------------------

class JournalFolder : public ::testing::Test {
  protected:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }
    void TearDown() override {
        QCoreApplication::setApplicationName(QString());
        QCoreApplication::setOrganizationName(QString());
        QStandardPaths::setTestModeEnabled(false);
    }
    static QString dataFolder() {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               "/Moonbite/journal";
    }
    QTemporaryDir exeDir_;
};

TEST_F(JournalFolder, WritableJournalBesideTheProgramIsUsed) {
    ASSERT_TRUE(QDir(exeDir_.path()).mkdir("journal"));
    EXPECT_EQ(journalFolder(exeDir_.path()), exeDir_.path() + "/journal");
}

TEST_F(JournalFolder, OtherwiseTheUsersDataFolder) {
    const QString expected = dataFolder();
    EXPECT_TRUE(expected.startsWith(QDir::homePath())) << expected.toStdString();
    // Nothing beside the program.
    EXPECT_EQ(journalFolder(exeDir_.path()), expected);
    EXPECT_FALSE(QFileInfo::exists(exeDir_.path() + "/journal")) << "asking creates nothing";
    // A file by that name is no folder.
    ASSERT_TRUE(putFile(exeDir_.path() + "/journal", "x"));
    EXPECT_EQ(journalFolder(exeDir_.path()), expected);
    // No program folder given.
    EXPECT_EQ(journalFolder(QString()), expected);
}

TEST_F(JournalFolder, ReadOnlyJournalBesideTheProgramIsPassedOver) {
    if (runningAsRoot()) GTEST_SKIP() << "permissions do not stop root from writing";
    const QString portable = exeDir_.path() + "/journal";
    ASSERT_TRUE(QDir().mkdir(portable));
    ASSERT_TRUE(QFile::setPermissions(portable, QFile::ReadOwner | QFile::ExeOwner));
    const QString folder = journalFolder(exeDir_.path());
    QFile::setPermissions(portable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(folder, dataFolder());
}

TEST_F(JournalFolder, ProgramNamesDoNotMoveTheJournal) {
    // The window program names itself; the command-line tool may not. Both
    // must find the same journal.
    const QString unnamed = journalFolder(exeDir_.path());
    QCoreApplication::setOrganizationName("Moonbite");
    QCoreApplication::setApplicationName("Moonbite");
    EXPECT_EQ(journalFolder(exeDir_.path()), unnamed);
    QCoreApplication::setApplicationName("moonbite-cli");
    QCoreApplication::setOrganizationName(QString());
    EXPECT_EQ(journalFolder(exeDir_.path()), unnamed);
}

}  // namespace
}  // namespace moonbite
