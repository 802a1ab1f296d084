// Entry paths that hold something other than a small regular file: huge
// files, pipes, folders, sockets, devices and links that lead nowhere. None
// may be read whole, opened when it is no file, or replaced by a save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "journal_file.h"
#include "journal_support.h"

namespace moonbite {
namespace {

bool putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList allNames(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The file type bits as lstat sees them: what the path itself is.
std::optional<mode_t> kindOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return st.st_mode & S_IFMT;
}

// A valid entry whose file is exactly size bytes long.
QByteArray entryOfSize(qint64 size) {
    JournalEntry e = sampleEntry();
    e.notes.clear();
    const qint64 base = formatJournalEntry(e).size();
    e.notes = QString(static_cast<qsizetype>(size - base), QLatin1Char('n'));
    return formatJournalEntry(e);
}

// A socket bound to path; closed (the name stays) when this goes.
class BoundSocket {
  public:
    explicit BoundSocket(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        if (fd_ < 0 || native.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return;
        std::memcpy(address.sun_path, native.constData(), static_cast<size_t>(native.size()));
        ok_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~BoundSocket() {
        if (fd_ >= 0) ::close(fd_);
    }
    BoundSocket(const BoundSocket&) = delete;
    BoundSocket& operator=(const BoundSocket&) = delete;
    [[nodiscard]] bool ok() const { return ok_; }

  private:
    int fd_;
    bool ok_ = false;
};

class HostileEntries : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    QString entry(int n) const { return journalFilePath(dir_.path(), n); }

    // jour1.dat .. jour6.dat: a pipe, a folder, a socket, a link to a device,
    // a link to nowhere and a link to itself.
    void makeTheZoo() {
        ASSERT_EQ(::mkfifo(QFile::encodeName(entry(1)).constData(), 0600), 0);
        ASSERT_TRUE(QDir().mkdir(entry(2)));
        socket_ = std::make_unique<BoundSocket>(entry(3));
        ASSERT_TRUE(socket_->ok());
        ASSERT_TRUE(QFile::link(deviceNode(), entry(4)));
        ASSERT_TRUE(QFile::link(path("gone.dat"), entry(5)));
        ASSERT_EQ(::symlink("jour6.dat", QFile::encodeName(entry(6)).constData()), 0);
    }

    // A character device to link to. Root makes its own in the temporary
    // folder: a save that wrongly followed the link would rename its file
    // over the device, and that must never be the system's /dev/null. Others
    // cannot make devices, nor replace anything in /dev.
    QString deviceNode() const {
        if (::geteuid() != 0) return QStringLiteral("/dev/null");
        const QString node = path(QStringLiteral("null device"));
        EXPECT_EQ(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        return node;
    }

    struct Expected {
        int number;
        mode_t kind;
        const char* reason;
    };
    static constexpr Expected kZoo[] = {
        {1, S_IFIFO, "is not a regular file (it is a named pipe)"},
        {2, S_IFDIR, "is not a regular file (it is a folder)"},
        {3, S_IFSOCK, "is not a regular file (it is a socket)"},
        {4, S_IFLNK, "is not a regular file (it is a link to a device)"},
        {5, S_IFLNK, "is a dangling link"},
        {6, S_IFLNK, "is a symbolic link loop"},
    };

    QTemporaryDir dir_;
    std::unique_ptr<BoundSocket> socket_;
};

// --- Size -------------------------------------------------------------------------------

TEST_F(HostileEntries, EntryOfExactlyOneMebibyteReadsAndOneByteMoreIsBroken) {
    const QByteArray limit = entryOfSize(kMaxJournalFileBytes);
    ASSERT_EQ(limit.size(), kMaxJournalFileBytes);
    ASSERT_TRUE(putFile(entry(1), limit));
    const JournalReadResult atLimit = readJournalEntry(dir_.path(), 1);
    EXPECT_EQ(atLimit.status, JournalReadStatus::Ok) << atLimit.error.toStdString();

    // A good record all the same, but nothing a person typed into the window.
    ASSERT_TRUE(putFile(entry(2), entryOfSize(kMaxJournalFileBytes + 1)));
    const JournalReadResult over = readJournalEntry(dir_.path(), 2);
    EXPECT_EQ(over.status, JournalReadStatus::Broken);
    EXPECT_EQ(over.error, QDir::toNativeSeparators(entry(2)) +
                              " is larger than 1 MiB, far more than a journal entry; it was "
                              "not read");
    EXPECT_EQ(over.entry, JournalEntry{});
}

TEST_F(HostileEntries, HugeFileIsJudgedByItsSize) {
    // Sparse: 64 MiB of nothing, which as bytes would be NUL and so "not text".
    QFile huge(entry(3));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64{64} << 20));
    huge.close();
    const JournalReadResult r = readJournalEntry(dir_.path(), 3);
    EXPECT_EQ(r.status, JournalReadStatus::Broken);
    EXPECT_TRUE(r.error.contains("jour3.dat is larger than 1 MiB")) << r.error.toStdString();
}

// Lowers the address space this process may use, so large allocations fail.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(rlim_t extraBytes) {
        getrlimit(RLIMIT_AS, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = currentSize() + extraBytes;
        ok_ = currentSize() > 0 && setrlimit(RLIMIT_AS, &lowered) == 0;
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &old_); }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;
    [[nodiscard]] bool ok() const { return ok_; }

  private:
    static rlim_t currentSize() {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly)) return 0;
        const auto pages = statm.readAll().split(' ').value(0).toULongLong();
        return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    }
    rlimit old_{};
    bool ok_ = false;
};

// Reads entry 1 of folder with little memory to spare and exits with 0 when
// the entry came back Broken for want of memory, 1 when it came back
// otherwise, 2 when the reader threw.
[[noreturn]] void readWithLittleMemory(const QString& folder) {
    JournalReadResult r;
    bool threw = false;
    {
        // Room for little more than the file's bytes: decoding them fails.
        AddressSpaceLimit limit(1 << 20);
        if (!limit.ok()) std::_Exit(3);
        try {
            r = readJournalEntry(folder, 1);
        } catch (...) {
            threw = true;
        }
    }
    const bool broken = r.status == JournalReadStatus::Broken &&
                        r.error.contains(QStringLiteral("not enough memory")) &&
                        r.error.contains(QStringLiteral("jour1.dat"));
    // The child leaves without the fixture's clean-up.
    QDir(folder).removeRecursively();
    std::_Exit(threw ? 2 : broken ? 0 : 1);
}

TEST_F(HostileEntries, RunningOutOfMemoryMakesTheEntryBrokenInsteadOfThrowing) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator reserves terabytes of address space up front;
    // under an address-space limit it cannot run at all (the plain build runs this).
    GTEST_SKIP() << "not under AddressSanitizer";
#endif
    ASSERT_TRUE(putFile(entry(1), entryOfSize(kMaxJournalFileBytes)));
    // In a fresh process: memory the earlier tests freed would serve the reader.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(readWithLittleMemory(dir_.path()), ::testing::ExitedWithCode(0), "");
    // With memory to spare the same file reads.
    EXPECT_EQ(readJournalEntry(dir_.path(), 1).status, JournalReadStatus::Ok);
}

// --- Things that are not files ------------------------------------------------------------

TEST_F(HostileEntries, ThingsThatAreNoFilesAreBrokenWithTheirReason) {
    makeTheZoo();
    for (const Expected& x : kZoo) {
        const JournalReadResult r = readJournalEntry(dir_.path(), x.number);
        EXPECT_EQ(r.status, JournalReadStatus::Broken) << x.number;
        EXPECT_TRUE(r.error.startsWith(QDir::toNativeSeparators(entry(x.number)) + ' ' + x.reason))
            << r.error.toStdString();
        EXPECT_EQ(r.entry, JournalEntry{});
        EXPECT_EQ(kindOf(entry(x.number)), x.kind) << x.number;
    }
    EXPECT_TRUE(readJournalEntry(dir_.path(), 5).error.contains("gone.dat"))
        << "the dangling link says where it points";
}

TEST_F(HostileEntries, PipeIsNeverOpened) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(entry(1)).constData(), 0600), 0);
    // Held open for reading and writing here, with an entry waiting in it: a
    // reader that opened the pipe would take those bytes (or wait forever).
    const int fd = ::open(QFile::encodeName(entry(1)).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const QByteArray waiting = formatJournalEntry(sampleEntry());
    ASSERT_EQ(::write(fd, waiting.constData(), static_cast<size_t>(waiting.size())),
              waiting.size());
    const JournalReadResult r = readJournalEntry(dir_.path(), 1);
    int left = 0;
    ASSERT_EQ(::ioctl(fd, FIONREAD, &left), 0);
    ::close(fd);
    EXPECT_EQ(r.status, JournalReadStatus::Broken);
    EXPECT_EQ(left, waiting.size()) << "the pipe was read";
}

TEST_F(HostileEntries, ThingsThatAreNoFilesAreListedSoTheyCanBeReported) {
    makeTheZoo();
    EXPECT_EQ(journalEntryNumbers(dir_.path()), (QList<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(HostileEntries, SavingNeverReplacesWhatIsNoFile) {
    makeTheZoo();
    const QStringList before = allNames(dir_.path());
    for (const Expected& x : kZoo) {
        QString error;
        QString kept = QStringLiteral("untouched");
        EXPECT_FALSE(writeJournalEntry(dir_.path(), x.number, sampleEntry(), &error, &kept))
            << x.number;
        EXPECT_EQ(
            error,
            "Cannot save " + QDir::toNativeSeparators(entry(x.number)) + ", which " + x.reason +
                (x.number == 5 ? QString(" (to %1, which does not exist)").arg(path("gone.dat"))
                               : QString()) +
                ". It was left as it is.");
        EXPECT_TRUE(kept.isEmpty()) << x.number;
        EXPECT_EQ(kindOf(entry(x.number)), x.kind) << x.number;
    }
    // Not followed either: the dangling link still leads nowhere.
    EXPECT_FALSE(QFileInfo::exists(path("gone.dat")));
    EXPECT_EQ(QFile::symLinkTarget(entry(5)), path("gone.dat"));
    EXPECT_TRUE(QDir(entry(2)).isEmpty());
    EXPECT_EQ(allNames(dir_.path()), before) << "no copies and no temporary files";
}

TEST_F(HostileEntries, LinkToAFileElsewhereIsNeverReadNorWrittenThrough) {
    // A save through the link would overwrite a file outside the journal.
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("kept elsewhere.dat"));
    const QByteArray bytes = formatJournalEntry(sampleEntry());
    ASSERT_TRUE(putFile(target, bytes));
    ASSERT_TRUE(QFile::link(target, entry(7)));
    const QString reason = QStringLiteral("is a symbolic link (to %1), not a journal entry file")
                               .arg(QDir::toNativeSeparators(target));

    const JournalReadResult r = readJournalEntry(dir_.path(), 7);
    EXPECT_EQ(r.status, JournalReadStatus::Broken);
    EXPECT_EQ(r.error, QDir::toNativeSeparators(entry(7)) + ' ' + reason);
    EXPECT_EQ(journalEntryNumbers(dir_.path()), QList<int>{7});  // listed, so it is reported

    const QStringList before = allNames(dir_.path());
    JournalEntry other = sampleEntry();
    other.notes = QStringLiteral("a new trip");
    QString error;
    QString kept = QStringLiteral("untouched");
    EXPECT_FALSE(writeJournalEntry(dir_.path(), 7, other, &error, &kept));
    EXPECT_EQ(error, "Cannot save " + QDir::toNativeSeparators(entry(7)) + ", which " + reason +
                         ". It was left as it is.");
    EXPECT_TRUE(kept.isEmpty());
    EXPECT_EQ(QFile::symLinkTarget(entry(7)), target);
    QFile behind(target);
    ASSERT_TRUE(behind.open(QIODevice::ReadOnly));
    EXPECT_EQ(behind.readAll(), bytes);
    EXPECT_EQ(allNames(dir_.path()), before) << "no copies and no temporary files";
    EXPECT_EQ(allNames(elsewhere.path()), QStringList{QStringLiteral("kept elsewhere.dat")});
}

}  // namespace
}  // namespace moonbite
