#include "journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <exception>
#include <new>

namespace moonbite {
namespace {

using Member = QString JournalEntry::*;

// The 13 lines of a file: a label, then up to three values.
struct Line {
    const char* label;
    std::array<Member, 3> values;
};

constexpr std::array<Line, 13> kLines{{
    {"Date:", {&JournalEntry::day, &JournalEntry::month, &JournalEntry::year}},
    {"Notes:", {&JournalEntry::notes}},
    {"Temperature:", {&JournalEntry::temperature}},
    {"Trip Time:", {&JournalEntry::tripTime}},
    {"Tide Type:", {&JournalEntry::tideType}},
    {"Wind Strength:", {&JournalEntry::windStrength}},
    {"Quantity of Fish:", {&JournalEntry::quantity}},
    {"Wind:", {&JournalEntry::wind}},
    {"Tide:", {&JournalEntry::tide}},
    {"Catch:", {&JournalEntry::catchRating}},
    {"G.P.S mark or location:", {&JournalEntry::gps1}},
    {"G.P.S mark or location:", {&JournalEntry::gps2}},
    {"Best Time:", {&JournalEntry::bestTime}},
}};

constexpr int fieldsInLines() {
    int count = 0;
    for (const Line& line : kLines) {
        ++count;
        for (Member m : line.values)
            if (m != nullptr) ++count;
    }
    return count;
}
static_assert(fieldsInLines() == kJournalFieldCount);

bool validNumber(int entryNumber) {
    return entryNumber >= 1 && entryNumber <= kMaxJournalEntry;
}

QString outOfRange(int entryNumber) {
    return QStringLiteral("Journal entry number %1 is outside 1..%2")
        .arg(entryNumber)
        .arg(kMaxJournalEntry);
}

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A field as it is stored: see writeJournalEntry in the header.
QString storedField(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QChar(0)) continue;
        if (c == QLatin1Char('\r')) {
            if (i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            out += QLatin1Char('\n');
        } else if (c == QLatin1Char('"')) {
            const bool opening = out.isEmpty() || out.back().isSpace();
            out += QChar(opening ? 0x201C : 0x201D);
        } else if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

void appendQuoted(QByteArray& out, const QByteArray& utf8) {
    out += '"';
    out += utf8;
    out += '"';
}

// Splits the text into its quoted fields, in file order. Blanks may stand
// around fields; anything else outside the quotes makes the file garbled.
bool splitFields(const QString& text, QList<QString>& fields, QString& error) {
    enum class State { LineStart, AfterField, AfterComma };
    State state = State::LineStart;
    int line = 1;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (state == State::AfterComma) {
                error = QStringLiteral("line %1 ends with a comma").arg(line);
                return false;
            }
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            ++i;
            ++line;
            state = State::LineStart;
        } else if (c == QLatin1Char(',')) {
            if (state != State::AfterField) {
                error = QStringLiteral("a comma without a field before it on line %1").arg(line);
                return false;
            }
            ++i;
            state = State::AfterComma;
        } else if (c == QLatin1Char('"')) {
            if (state == State::AfterField) {
                error =
                    QStringLiteral("two fields without a comma between them on line %1").arg(line);
                return false;
            }
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) {
                error = QStringLiteral("the quote opened on line %1 is never closed").arg(line);
                return false;
            }
            QString field = text.mid(i + 1, close - i - 1);
            line += static_cast<int>(field.count(QLatin1Char('\n')));
            line += static_cast<int>(field.count(QLatin1Char('\r')));
            line -= static_cast<int>(field.count(QStringLiteral("\r\n")));
            field.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            field.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            fields.append(std::move(field));
            i = close + 1;
            state = State::AfterField;
        } else {
            error = QStringLiteral("text outside the quotes on line %1").arg(line);
            return false;
        }
    }
    if (state == State::AfterComma) {
        error = QStringLiteral("the file ends with a comma");
        return false;
    }
    return true;
}

JournalReadResult broken(QString error) {
    JournalReadResult result;
    result.status = JournalReadStatus::Broken;
    result.error = std::move(error);
    return result;
}

QString systemError(int code) {
    return qt_error_string(code);
}

// What is at an entry's path, found without opening it: opening a pipe would
// wait for a writer, and a device may never end.
struct PathKind {
    enum Kind { Absent, Regular, Other } kind = Absent;
    qint64 size = 0;  // of a regular file
    QString why;      // of Other: "is not a regular file (...)", to follow the path
};

QString whatItIs(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
    return QStringLiteral("of an unknown kind");
}

PathKind examine(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    PathKind result;
    struct stat link {};
    if (::lstat(native.constData(), &link) != 0) {
        const int code = errno;
        if (code == ENOENT || code == ENOTDIR) return result;
        result.kind = PathKind::Other;
        result.why = QStringLiteral("cannot be examined: %1").arg(systemError(code));
        return result;
    }
    struct stat target = link;
    const bool isLink = S_ISLNK(link.st_mode);
    if (isLink && ::stat(native.constData(), &target) != 0) {
        const int code = errno;
        result.kind = PathKind::Other;
        if (code == ENOENT || code == ENOTDIR) {
            result.why = QStringLiteral("is a dangling link (to %1, which does not exist)")
                             .arg(nativePath(QFile::symLinkTarget(path)));
        } else if (code == ELOOP) {
            result.why = QStringLiteral("is a symbolic link loop");
        } else {
            result.why =
                QStringLiteral("is a link that cannot be followed: %1").arg(systemError(code));
        }
        return result;
    }
    if (isLink && S_ISREG(target.st_mode)) {
        // Never read or written through: a save would replace the file the
        // link points at, which may lie anywhere outside the journal.
        result.kind = PathKind::Other;
        result.why = QStringLiteral("is a symbolic link (to %1), not a journal entry file")
                         .arg(nativePath(QFile::symLinkTarget(path)));
        return result;
    }
    if (S_ISREG(target.st_mode)) {
        result.kind = PathKind::Regular;
        result.size = static_cast<qint64>(target.st_size);
        return result;
    }
    result.kind = PathKind::Other;
    result.why =
        QStringLiteral("is not a regular file (it is %1%2)")
            .arg(isLink ? QStringLiteral("a link to ") : QString(), whatItIs(target.st_mode));
    return result;
}

QString tooLarge(const QString& path) {
    return QStringLiteral("%1 is larger than 1 MiB, far more than a journal entry; it was not read")
        .arg(nativePath(path));
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }

  private:
    int fd_;
};

JournalReadResult parseBytes(const QByteArray& bytes);

JournalReadResult missing(int entryNumber, const QString& path) {
    JournalReadResult result;
    result.error =
        QStringLiteral("There is no journal entry %1 (%2)").arg(entryNumber).arg(nativePath(path));
    return result;
}

// Reads and parses the file of a valid entry number.
JournalReadResult readEntryFile(int entryNumber, const QString& path) {
    const PathKind kind = examine(path);
    if (kind.kind == PathKind::Absent) return missing(entryNumber, path);
    if (kind.kind == PathKind::Other) return broken(nativePath(path) + QLatin1Char(' ') + kind.why);
    if (kind.size > kMaxJournalFileBytes) return broken(tooLarge(path));

    // Without blocking, and checked again once open: something swapped in
    // after the look above is still never read.
    const FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                                   O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        const int code = errno;
        if (code == ENOENT) return missing(entryNumber, path);
        return broken(
            QStringLiteral("Cannot read %1: %2").arg(nativePath(path), systemError(code)));
    }
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
        return broken(QStringLiteral("%1 is not a regular file").arg(nativePath(path)));
    }
    // The file may grow after the look at its size: read one byte past the
    // limit at most, which is enough to tell.
    QByteArray bytes;
    bytes.resize(std::min<qint64>(std::max<qint64>(opened.st_size, 0), kMaxJournalFileBytes) + 1);
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > kMaxJournalFileBytes) break;
            bytes.resize(std::min<qint64>(total * 2, kMaxJournalFileBytes + 1));
        }
        const ssize_t got =
            ::read(fd.get(), bytes.data() + total, static_cast<size_t>(bytes.size() - total));
        if (got < 0) {
            const int code = errno;
            if (code == EINTR) continue;
            return broken(
                QStringLiteral("Cannot read %1: %2").arg(nativePath(path), systemError(code)));
        }
        if (got == 0) break;
        total += got;
    }
    if (total > kMaxJournalFileBytes) return broken(tooLarge(path));
    bytes.truncate(total);

    JournalReadResult result = parseBytes(bytes);
    if (result.status != JournalReadStatus::Ok) {
        result.error =
            QStringLiteral("%1 is not a journal entry: %2").arg(nativePath(path), result.error);
    }
    return result;
}

// Never lets an exception out: whatever goes wrong while reading, the entry
// is simply unreadable.
template <typename Read>
JournalReadResult guarded(const QString& what, Read read) noexcept {
    QString why = QStringLiteral("not enough memory");
    try {
        try {
            return read();
        } catch (const std::bad_alloc&) {
            // why is right already.
        } catch (const std::exception& e) {
            why = QString::fromLocal8Bit(e.what());
        }
        return broken(QStringLiteral("%1 cannot be read: %2").arg(what, why));
    } catch (...) {
        // Even the message may not fit: a literal needs no memory.
        return broken(QStringLiteral("The entry cannot be read: not enough memory"));
    }
}

// Copies path to copy, which must not exist yet; for file systems without
// hard links.
bool copyToNewFile(const QString& path, const QString& copy, QString& why) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        why = in.errorString();
        return false;
    }
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        why = out.errorString();
        return false;
    }
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0) {
            why = in.errorString();
            break;
        }
        if (got == 0) {
            if (out.flush()) return true;
            why = out.errorString();
            break;
        }
        if (out.write(chunk.constData(), got) != got) {
            why = out.errorString();
            break;
        }
    }
    out.remove();
    return false;
}

// Keeps the bytes of the damaged file at path under the first free name of
// path.damaged, path.damaged.2, ...; never over an existing name.
bool keepDamagedFile(const QString& path, QString& kept, QString& why) {
    constexpr int kMaxCopies = 1000;
    const QByteArray source = QFile::encodeName(path);
    for (int i = 1; i <= kMaxCopies; ++i) {
        const QString name = i == 1 ? path + QStringLiteral(".damaged")
                                    : path + QStringLiteral(".damaged.%1").arg(i);
        const QByteArray target = QFile::encodeName(name);
        struct stat taken {};
        if (::lstat(target.constData(), &taken) == 0) continue;
        // A second name for the same bytes: nothing to copy, and the save's
        // rename over path leaves it alone. Following a link, so the copy is
        // of the bytes and not of a link the save then writes through.
        if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            kept = name;
            return true;
        }
        if (errno == EEXIST) continue;
        if (copyToNewFile(path, name, why)) {
            kept = name;
            return true;
        }
        if (QFileInfo(name).isSymLink() || QFileInfo::exists(name)) continue;
        return false;
    }
    why = QStringLiteral("%1 copies are kept already").arg(kMaxCopies);
    return false;
}

// Whether Qt can decode the code page itself (it can when built with ICU).
bool qtHasWindows1252() {
    static const bool has = QStringDecoder("Windows-1252").isValid();
    return has;
}

}  // namespace

QString journalFolder(const QString& executableDir) {
    if (!executableDir.isEmpty()) {
        const QFileInfo portable(QDir(executableDir).filePath(QStringLiteral("journal")));
        if (portable.isDir() && portable.isWritable()) return portable.absoluteFilePath();
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // Without a data location the folder would land at the file-system root.
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Moonbite/journal");
}

QString journalFilePath(const QString& folder, int entryNumber) {
    if (!validNumber(entryNumber)) return {};
    return QDir(folder).filePath(QStringLiteral("jour%1.dat").arg(entryNumber));
}

JournalEntry storedJournalEntry(const JournalEntry& entry) {
    JournalEntry out;
    for (const Line& line : kLines)
        for (Member m : line.values)
            if (m != nullptr) out.*m = storedField(entry.*m);
    return out;
}

QByteArray formatJournalEntry(const JournalEntry& entry) {
    QByteArray out;
    out.reserve(256 + entry.notes.size() * 2);
    for (const Line& line : kLines) {
        appendQuoted(out, QByteArray(line.label));
        for (Member m : line.values) {
            if (m == nullptr) continue;
            out += ',';
            appendQuoted(out, storedField(entry.*m).toUtf8().replace('\n', "\r\n"));
        }
        out += "\r\n";
    }
    return out;
}

QString decodeWindows1252(QByteArrayView bytes) {
    // 0x80..0x9F; the rest of the code page is Latin-1.
    static constexpr std::array<char16_t, 32> kHigh{
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *dst++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decodeJournalText(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF")) view = view.sliced(3);
    // Stateless: a sequence cut off at the end is an error, not input held
    // back for a next chunk that never comes.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(view);
    if (!utf8.hasError()) return text;
    if (qtHasWindows1252()) {
        QStringDecoder cp1252("Windows-1252", QStringConverter::Flag::Stateless);
        text = cp1252(view);
        if (!cp1252.hasError()) return text;
    }
    return decodeWindows1252(view);
}

JournalReadResult parseJournalEntry(const QByteArray& bytes) {
    return guarded(QStringLiteral("The entry"), [&bytes] { return parseBytes(bytes); });
}

namespace {

JournalReadResult parseBytes(const QByteArray& bytes) {
    if (bytes.contains('\0')) return broken(QStringLiteral("not a text file (it holds NUL bytes)"));

    QList<QString> fields;
    QString error;
    if (!splitFields(decodeJournalText(bytes), fields, error)) return broken(error);
    const qsizetype count = fields.size();
    if (count < kJournalFieldCount) {
        return broken(QStringLiteral("only %1 of the %2 fields of a trip")
                          .arg(count)
                          .arg(kJournalFieldCount));
    }
    // Extra whole records are older copies written before the last one; a
    // partial one leaves no way to tell which fields belong where.
    if (count % kJournalFieldCount != 0) {
        return broken(QStringLiteral("%1 fields are not a whole number of %2-field trips")
                          .arg(count)
                          .arg(kJournalFieldCount));
    }

    JournalReadResult result;
    result.status = JournalReadStatus::Ok;
    qsizetype pos = count - kJournalFieldCount;
    for (const Line& line : kLines) {
        ++pos;  // the label
        for (Member m : line.values)
            if (m != nullptr) result.entry.*m = std::move(fields[pos++]);
    }
    return result;
}

}  // namespace

JournalReadResult readJournalEntry(const QString& folder, int entryNumber) {
    if (!validNumber(entryNumber)) {
        JournalReadResult result;
        result.error = outOfRange(entryNumber);
        return result;
    }
    const QString path = journalFilePath(folder, entryNumber);
    return guarded(nativePath(path),
                   [entryNumber, &path] { return readEntryFile(entryNumber, path); });
}

bool writeJournalEntry(const QString& folder, int entryNumber, const JournalEntry& entry,
                       QString* error, QString* keptDamagedAs) {
    auto fail = [error](const QString& message) {
        if (error != nullptr) *error = message;
        return false;
    };
    if (keptDamagedAs != nullptr) keptDamagedAs->clear();
    if (!validNumber(entryNumber)) return fail(outOfRange(entryNumber));
    const QString path = journalFilePath(folder, entryNumber);
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("Cannot save %1: the folder %2 cannot be created")
                        .arg(nativePath(path), nativePath(folder)));
    }

    // Only a regular file is ever replaced; a pipe, a folder or a link to
    // nowhere is the user's, whatever its name.
    const PathKind kind = examine(path);
    if (kind.kind == PathKind::Other) {
        return fail(QStringLiteral("Cannot save %1, which %2. It was left as it is.")
                        .arg(nativePath(path), kind.why));
    }
    // The bytes of a damaged entry may still be worth something to the user.
    QString kept;
    if (kind.kind == PathKind::Regular &&
        readJournalEntry(folder, entryNumber).status == JournalReadStatus::Broken) {
        QString why;
        if (!keepDamagedFile(path, kept, why)) {
            return fail(QStringLiteral("Cannot save %1: the damaged file there could not be kept "
                                       "as a copy (%2). It was left as it is.")
                            .arg(nativePath(path), why));
        }
    }
    auto failKept = [&fail, &kept](const QString& message) {
        // The original is still in place; the copy would only be clutter.
        if (!kept.isEmpty()) QFile::remove(kept);
        return fail(message);
    };

    // QSaveFile writes beside the target and renames only on commit; without
    // the direct-write fallback a folder we cannot create files in fails here
    // instead of truncating the old entry in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        return failKept(
            QStringLiteral("Cannot save %1: %2").arg(nativePath(path), file.errorString()));
    }
    const QByteArray bytes = formatJournalEntry(entry);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failKept(QStringLiteral("Cannot save %1: %2").arg(nativePath(path), reason));
    }
    if (!file.commit()) {
        return failKept(
            QStringLiteral("Cannot save %1: %2").arg(nativePath(path), file.errorString()));
    }
    if (keptDamagedAs != nullptr) *keptDamagedAs = kept;
    return true;
}

QList<int> journalEntryNumbers(const QString& folder) {
    static const QRegularExpression kName(QStringLiteral("^jour([1-9][0-9]{0,4})\\.dat$"));
    QList<int> numbers;
    // System: pipes, sockets, devices and dangling links are listed too.
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::System |
                                                     QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = kName.match(name);
        if (!match.hasMatch()) continue;
        const int number = match.captured(1).toInt();
        if (validNumber(number)) numbers.append(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

}  // namespace moonbite
