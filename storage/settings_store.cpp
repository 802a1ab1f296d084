#include "settings_store.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace moonbite {

namespace {

enum class FileState {
    Usable,      // a regular file that parses, or no file yet
    Unreadable,  // not a regular file, or cannot be opened: never parsed nor replaced
    TooLarge,    // a regular file over the limit: never parsed; replaced on the next write
    Damaged,     // parsed for what it holds; replaced on the next write
    NotUtf8,     // read as usual, but a write would change its bytes: kept first
};

struct FileCheck {
    FileState state = FileState::Usable;
    QString reason;
    // What the check was made of, so it is made again only when the file changed.
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    bool exists = false;
};

bool sameFile(const FileCheck& check, const struct stat& st) {
    return check.exists && check.device == st.st_dev && check.inode == st.st_ino &&
           check.size == st.st_size && check.modified.tv_sec == st.st_mtim.tv_sec &&
           check.modified.tv_nsec == st.st_mtim.tv_nsec;
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads at most limit + 1 bytes without blocking on anything that is not a
// plain file; nullopt (with errno set) when it cannot be opened or read.
std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    QByteArray bytes;
    char buffer[16384];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            errno = error;
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    return bytes;
}

FileCheck inspect(const QString& path) {
    FileCheck check;
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(name.constData(), &link) != 0) return check;  // no file yet
        check.state = FileState::Unreadable;
        check.reason = error == ENOENT
                           ? QStringLiteral("it is a link to nothing")
                           : QStringLiteral("it cannot be opened: %1").arg(errnoText(error));
        return check;
    }
    check.exists = true;
    check.device = st.st_dev;
    check.inode = st.st_ino;
    check.size = st.st_size;
    check.modified = st.st_mtim;
    if (!S_ISREG(st.st_mode)) {
        check.state = FileState::Unreadable;
        check.reason = S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder")
                                           : QStringLiteral("it is not a regular file");
        return check;
    }
    if (st.st_size > kMaxSettingsFileSize) {
        check.state = FileState::TooLarge;
        check.reason = QStringLiteral("it is larger than 64 MiB");
        return check;
    }
    const auto bytes = readSmallFile(path, kMaxSettingsFileSize);
    if (!bytes) {
        check.state = FileState::Unreadable;
        check.reason = QStringLiteral("it cannot be read: %1").arg(errnoText(errno));
        return check;
    }
    if (bytes->size() > kMaxSettingsFileSize) {
        check.state = FileState::TooLarge;
        check.reason = QStringLiteral("it is larger than 64 MiB");
        return check;
    }
    if (bytes->contains('\0')) {
        check.state = FileState::Damaged;
        check.reason = QStringLiteral("it is damaged (it holds binary data)");
        return check;
    }
    // QSettings reports lines that are neither sections nor key=value pairs
    // only after it has parsed the file.
    QSettings settings(path, QSettings::IniFormat);
    (void)settings.allKeys();
    if (settings.status() == QSettings::FormatError) {
        check.state = FileState::Damaged;
        check.reason = QStringLiteral("it is damaged (it holds lines that are not settings)");
        return check;
    }
    // QSettings reads such bytes as U+FFFD and would write that back, so the
    // file is readable but its first rewrite keeps a copy.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(*bytes);  // the decoding itself sets hasError()
    if (utf8.hasError()) check.state = FileState::NotUtf8;
    return check;
}

// path + ".damaged", or ".damaged.2", ".damaged.3", ... when that is taken:
// kept bytes are never overwritten.
QString freeDamagedName(const QString& path) {
    const QString base = path + QStringLiteral(".damaged");
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? base : base + QLatin1Char('.') + QString::number(n);
        struct stat st {};
        if (::lstat(QFile::encodeName(candidate).constData(), &st) != 0 && errno == ENOENT)
            return candidate;
    }
}

}  // namespace

struct SettingsStore::Impl {
    QString folder;
    bool writable = true;
    std::chrono::milliseconds lockTimeout = kSettingsLockTimeout;
    QString lockFailure;  // the lock that could not be taken; the store is read-only since
    bool lockFailureTaken = false;
    QHash<QString, FileCheck> checks;
    std::vector<SettingsStore::Replaced> replaced;

    const FileCheck& check(const QString& app, const QString& path) {
        FileCheck& known = checks[app];
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0 && sameFile(known, st))
            return known;
        known = inspect(path);
        return known;
    }

    // Before a write: false when the file must not be touched; a damaged or
    // oversized file is first kept under a ".damaged" name.
    bool prepareWrite(const QString& app, const QString& path) {
        const FileCheck found = check(app, path);
        switch (found.state) {
            case FileState::Usable:
                return true;
            case FileState::Unreadable:
                writable = false;
                return false;
            case FileState::TooLarge:
            case FileState::Damaged:
            case FileState::NotUtf8: {
                const QString keep = freeDamagedName(path);
                // A file that was read is copied so what parsed is written back
                // with the change; an oversized one is moved aside unparsed.
                const bool kept = found.state != FileState::TooLarge
                                      ? QFile::copy(path, keep)
                                      : ::rename(QFile::encodeName(path).constData(),
                                                 QFile::encodeName(keep).constData()) == 0;
                if (!kept) {
                    writable = false;
                    return false;
                }
                using Why = SettingsStore::Replaced::Why;
                const Why why = found.state == FileState::TooLarge  ? Why::TooLarge
                                : found.state == FileState::NotUtf8 ? Why::NotUtf8
                                                                    : Why::Damaged;
                replaced.push_back(
                    {QFileInfo(path).absoluteFilePath(), QFileInfo(keep).absoluteFilePath(), why});
                checks.remove(app);
                return true;
            }
        }
        return true;
    }

    // Takes the file's own lock, held until it goes out of scope, after making
    // sure that QSettings can take its lock when it writes: it would wait for
    // that one for ever (a stale lock folder would hang the program). nullptr
    // when either cannot be had in time.
    std::unique_ptr<QLockFile> lock(const QString& path) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            writable = false;
            return nullptr;
        }
        const QDeadlineTimer deadline(lockTimeout);
        auto own = std::make_unique<QLockFile>(path + QStringLiteral(".update.lock"));
        if (!take(*own, deadline)) return nullptr;
        QLockFile qtLock(path + QStringLiteral(".lock"));
        if (!take(qtLock, deadline)) return nullptr;
        qtLock.unlock();
        return own;
    }

    // A lock that someone holds past the deadline makes the store read-only;
    // one that cannot be made (a folder not writable) fails this write only.
    bool take(QLockFile& lockFile, const QDeadlineTimer& deadline) {
        if (lockFile.tryLock(static_cast<int>(deadline.remainingTime()))) return true;
        writable = false;
        if (lockFile.error() == QLockFile::LockFailedError) lockFailure = lockFile.fileName();
        return false;
    }
};

namespace {

// "A\B\C\" → "A/B/C": QSettings nests groups on "/", and empty parts (doubled
// or trailing separators) would otherwise address a different key.
QString groupPath(const QString& section) {
    QString path = section;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QString fullKey(const QString& group, const QString& key) {
    return group.isEmpty() ? key : group + QLatin1Char('/') + key;
}

// Values are written as QString so they come back as one text; a file edited
// by hand may still hold "a, b", which QSettings reads as a list.
QString variantText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

// The keys under a group with their values, for restoring them later.
std::vector<std::pair<QString, QVariant>> keysUnder(QSettings& settings, const QString& group) {
    std::vector<std::pair<QString, QVariant>> found;
    settings.beginGroup(group);
    const QStringList children = settings.allKeys();
    for (const QString& child : children)
        found.emplace_back(group + QLatin1Char('/') + child, settings.value(child));
    settings.endGroup();
    return found;
}

// QSettings::remove(k) also drops the group "k/…"; a key and a section of the
// same name are separate things here, so the group is put back.
void removeKeyOnly(QSettings& settings, const QString& key) {
    const auto children = keysUnder(settings, key);
    settings.remove(key);
    for (const auto& [name, value] : children)
        settings.setValue(name, value);
}

// What an update changed: each key with its value before (none when it did
// not exist), in the order of the changes, so a write that could not be
// stored is undone in memory and later reads keep reporting what is on disk.
using Snapshot = std::vector<std::pair<QString, std::optional<QVariant>>>;

// Writes the file; when that fails, puts the snapshot back (the latest change
// first, so a key changed twice gets its first value) and says so. A
// FormatError is about the lines QSettings dropped while reading a damaged
// file, whose bytes were kept before this write; the write itself went through.
bool commit(QSettings& settings, const Snapshot& before) {
    settings.sync();
    if (settings.status() != QSettings::AccessError) return true;
    for (auto it = before.rbegin(); it != before.rend(); ++it) {
        if (it->second)
            settings.setValue(it->first, *it->second);
        else
            removeKeyOnly(settings, it->first);
    }
    return false;
}

std::optional<long long> wholeNumber(const QString& text) {
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<double> decimalNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> intValue(const QString& text) {
    const auto value = wholeNumber(text);
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<bool> boolValue(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    if (const auto number = decimalNumber(trimmed)) return *number != 0.0;
    return std::nullopt;
}

// The names of a location list read through get(section, key, default).
template <typename Get>
QStringList locationNames(const Get& get) {
    const QString directory = QString::fromUtf8(keys::nlist.section);
    const QString stored = get(directory, QString::fromUtf8(keys::nlist.key), QString());
    const int n = std::min(intValue(stored).value_or(0), kMaxLocationCount);
    QStringList names;
    for (int i = 1; i <= n; ++i)
        names.push_back(get(directory, QStringLiteral("place(%1)").arg(i), QString()));
    return names;
}

QString defaultText(const SettingKey& key) {
    return QString::fromUtf8(key.defaultValue);
}

}  // namespace

SettingsStore::SettingsStore(QString folder) : impl_(std::make_unique<Impl>()) {
    if (folder.isEmpty()) {
        QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        // Without a config location the folder would land at the file-system root.
        if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
        folder = base + QStringLiteral("/Moonbite");
    }
    impl_->folder = std::move(folder);
}

SettingsStore::~SettingsStore() = default;

// A new QSettings per operation: its status then tells about this operation
// only (QSettings keeps the first error for good), and its construction
// re-reads the file when another store or process has changed it. Objects on
// the same file share Qt's parsed copy, so this stays cheap.
std::unique_ptr<QSettings> SettingsStore::open(const QString& app) const {
    return std::make_unique<QSettings>(filePath(app), QSettings::IniFormat);
}

QString SettingsStore::filePath(const QString& app) const {
    return impl_->folder + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString SettingsStore::unreadableReason(const QString& app) const {
    return impl_->check(app, filePath(app)).reason;
}

QString settingsLockedText(const QString& lockFile) {
    return QStringLiteral(
               "the settings lock %1 could not be taken (it is held by another program, or was "
               "left behind by one); going on without saving any settings")
        .arg(lockFile);
}

QStringList readLocationNames(const SettingsStore& store) {
    return locationNames([&](const QString& section, const QString& key, const QString& def) {
        return store.get(kTitleApp, section, key, def);
    });
}

QStringList readLocationNames(const SettingsStore::Update& update) {
    return locationNames([&](const QString& section, const QString& key, const QString& def) {
        return update.get(section, key, def);
    });
}

bool SettingsStore::damaged(const QString& app) const {
    const FileState state = impl_->check(app, filePath(app)).state;
    return state == FileState::Damaged || state == FileState::TooLarge;
}

bool SettingsStore::oversized(const QString& app) const {
    return impl_->check(app, filePath(app)).state == FileState::TooLarge;
}

std::vector<SettingsStore::Replaced> SettingsStore::takeReplacedFiles() {
    return std::exchange(impl_->replaced, {});
}

QString SettingsStore::get(const QString& app, const QString& section, const QString& key,
                           const QString& defaultValue) const {
    // An empty key would address the section itself as a key of its parent.
    if (key.isEmpty()) return defaultValue;
    const FileState state = impl_->check(app, filePath(app)).state;
    if (state == FileState::Unreadable || state == FileState::TooLarge) return defaultValue;
    const auto settings = open(app);
    const QString name = fullKey(groupPath(section), key);
    if (!settings->contains(name)) return defaultValue;
    return variantText(settings->value(name));
}

struct SettingsStore::Update::Changes {
    Snapshot before;
};

SettingsStore::Update::Update(QSettings& settings)
    : settings_(settings), changes_(std::make_unique<Changes>()) {}

SettingsStore::Update::~Update() = default;

QString SettingsStore::Update::get(const QString& section, const QString& key,
                                   const QString& defaultValue) const {
    if (key.isEmpty()) return defaultValue;
    const QString name = fullKey(groupPath(section), key);
    if (!settings_.contains(name)) return defaultValue;
    return variantText(settings_.value(name));
}

void SettingsStore::Update::save(const QString& section, const QString& key, const QString& value) {
    if (key.isEmpty()) return;
    const QString name = fullKey(groupPath(section), key);
    changes_->before.emplace_back(name, settings_.contains(name)
                                            ? std::optional<QVariant>(settings_.value(name))
                                            : std::nullopt);
    settings_.setValue(name, value);
}

void SettingsStore::Update::remove(const QString& section) {
    const QString group = groupPath(section);
    // Deleting the root would wipe the whole file; no caller means that.
    if (group.isEmpty()) return;
    const auto children = keysUnder(settings_, group);
    if (children.empty()) return;
    for (const auto& [name, value] : children)
        changes_->before.emplace_back(name, value);
    // The parent's key of the same name as this section is not part of it.
    std::optional<QVariant> sibling;
    if (settings_.contains(group)) sibling = settings_.value(group);
    settings_.remove(group);
    if (sibling) settings_.setValue(group, *sibling);
}

void SettingsStore::Update::remove(const QString& section, const QString& key) {
    if (key.isEmpty()) return;
    const QString name = fullKey(groupPath(section), key);
    if (!settings_.contains(name)) return;
    changes_->before.emplace_back(name, settings_.value(name));
    removeKeyOnly(settings_, name);
}

bool SettingsStore::update(const QString& app, const std::function<void(Update&)>& change) {
    // Read-only: nothing is tried again, so no write waits for the lock twice.
    if (!impl_->lockFailure.isEmpty()) return false;
    const QString path = filePath(app);
    if (impl_->check(app, path).state == FileState::Unreadable) {
        impl_->writable = false;
        return false;
    }
    const auto held = impl_->lock(path);
    if (!held) return false;
    // Under the lock: another writer may have changed or damaged the file since
    // it was last looked at.
    if (!impl_->prepareWrite(app, path)) return false;
    const auto settings = open(app);
    Update step(*settings);
    change(step);
    if (step.changes_->before.empty()) return true;
    if (commit(*settings, step.changes_->before)) return true;
    impl_->writable = false;
    return false;
}

void SettingsStore::save(const QString& app, const QString& section, const QString& key,
                         const QString& value) {
    if (key.isEmpty()) return;
    // A value the file already holds needs neither the lock nor a write: the
    // window saves many unchanged ones, and each lock costs two lock files.
    if (impl_->check(app, filePath(app)).state == FileState::Usable) {
        const auto settings = open(app);
        const QString full = fullKey(groupPath(section), key);
        if (settings->contains(full) && variantText(settings->value(full)) == value) return;
    }
    update(app, [&](Update& step) { step.save(section, key, value); });
}

void SettingsStore::remove(const QString& app, const QString& section) {
    if (groupPath(section).isEmpty()) return;
    // Nothing to delete is no reason to replace a damaged file or to wait for a lock.
    const FileState state = impl_->check(app, filePath(app)).state;
    if (state == FileState::Unreadable || state == FileState::TooLarge) return;
    if (keysUnder(*open(app), groupPath(section)).empty()) return;
    update(app, [&](Update& step) { step.remove(section); });
}

void SettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    if (key.isEmpty()) return;
    const FileState state = impl_->check(app, filePath(app)).state;
    if (state == FileState::Unreadable || state == FileState::TooLarge) return;
    if (!open(app)->contains(fullKey(groupPath(section), key))) return;
    update(app, [&](Update& step) { step.remove(section, key); });
}

void SettingsStore::setLockTimeout(std::chrono::milliseconds timeout) {
    impl_->lockTimeout = timeout;
}

bool SettingsStore::readOnly() const {
    return !impl_->lockFailure.isEmpty();
}

QString SettingsStore::takeLockFailure() {
    if (impl_->lockFailure.isEmpty() || impl_->lockFailureTaken) return {};
    impl_->lockFailureTaken = true;
    return QFileInfo(impl_->lockFailure).absoluteFilePath();
}

bool SettingsStore::writable() const {
    return impl_->writable;
}

QString SettingsStore::folder() const {
    return impl_->folder;
}

QString locationSection(const QString& name) {
    QString encoded;
    encoded.reserve(name.size());
    for (const QChar c : name) {
        if (c == QLatin1Char('%'))
            encoded += QStringLiteral("%25");
        else if (c == QLatin1Char('\\'))
            encoded += QStringLiteral("%5C");
        else if (c == QLatin1Char('/'))
            encoded += QStringLiteral("%2F");
        else
            encoded += c;
    }
    // An empty name would be the location directory itself; "%00" cannot come
    // from any other name because every "%" of a name is encoded.
    if (encoded.isEmpty()) encoded = QStringLiteral("%00");
    return QStringLiteral("Settings\\Locations\\") + encoded;
}

namespace keys {
// clang-format off
const SettingKey daterep    {kTitleApp, "Settings", "daterep",    "False"};
const SettingKey winstate   {kTitleApp, "Settings", "winstate",   "0"};
const SettingKey wingeometry{kTitleApp, "Settings", "wingeometry", ""};
const SettingKey Chartcolor {kTitleApp, "Settings", "Chartcolor", "12615680"};
const SettingKey graphstyle {kTitleApp, "Settings", "graphstyle", "1"};
const SettingKey graphday   {kTitleApp, "Settings", "graphday",   "15"};
const SettingKey Prediction {kTitleApp, "Settings", "Prediction", "1"};
const SettingKey Sunrise    {kTitleApp, "Settings", "Sunrise",    "0"};
const SettingKey Moonrise   {kTitleApp, "Settings", "Moonrise",   "0"};
const SettingKey Majorminor {kTitleApp, "Settings", "Majorminor", "1"};
const SettingKey Newfull    {kTitleApp, "Settings", "Newfull",    "0"};
const SettingKey Tides      {kTitleApp, "Settings", "Tides",      "0"};

const SettingKey nlist      {kTitleApp, "Settings\\Locations\\", "nlist", "0"};

const SettingKey currentloc        {kStateApp, "Settings", "currentloc",    ""};
const SettingKey latdeg            {kStateApp, "Settings", "latdeg",        "0"};
const SettingKey latmin            {kStateApp, "Settings", "latmin",        "0"};
const SettingKey NorS              {kStateApp, "Settings", "NorS",          "N"};
const SettingKey londeg            {kStateApp, "Settings", "londeg",        "0"};
const SettingKey lonmin            {kStateApp, "Settings", "lonmin",        "0"};
const SettingKey WorE              {kStateApp, "Settings", "WorE",          "W"};
const SettingKey gmtInSettingsFrame{kStateApp, "Settings", "gmt",           "0"};
const SettingKey gmtForComputation {kStateApp, "Settings", "gmt",           "13"};
const SettingKey gmtv              {kStateApp, "Settings", "gmtv",          "True"};
const SettingKey daylight          {kStateApp, "Settings", "daylight",      "1"};
const SettingKey custom            {kStateApp, "Settings", "custom",        "False"};
const SettingKey runalarm          {kStateApp, "Settings", "runalarm",      "False"};
const SettingKey daytype           {kStateApp, "Settings", "daytype",       "1"};
const SettingKey daysinadvance     {kStateApp, "Settings", "daysinadvance", "2"};
const SettingKey showmoon          {kStateApp, "Settings", "showmoon",      "1"};
const SettingKey showfish          {kStateApp, "Settings", "showfish",      "1"};
const SettingKey moonorth          {kStateApp, "Settings", "moonorth",      "True"};
const SettingKey textipshow        {kStateApp, "Settings", "textipshow",    "True"};
const SettingKey tzname            {kStateApp, "Settings", "tzname",        ""};
const SettingKey tidestation       {kStateApp, "Settings", "tidestation",   ""};
// clang-format on
}  // namespace keys

QString readText(const SettingsStore& store, const SettingKey& key) {
    return store.get(key.app, QString::fromUtf8(key.section), QString::fromUtf8(key.key),
                     defaultText(key));
}

int readInt(const SettingsStore& store, const SettingKey& key) {
    if (const auto value = intValue(readText(store, key))) return *value;
    return intValue(defaultText(key)).value_or(0);
}

int readIntInRange(const SettingsStore& store, const SettingKey& key, int lo, int hi) {
    const int value = readInt(store, key);
    if (value >= lo && value <= hi) return value;
    return intValue(defaultText(key)).value_or(0);
}

double readReal(const SettingsStore& store, const SettingKey& key) {
    if (const auto value = decimalNumber(readText(store, key))) return *value;
    return decimalNumber(defaultText(key)).value_or(0.0);
}

double readRealInRange(const SettingsStore& store, const SettingKey& key, double lo, double hi) {
    const double value = readReal(store, key);
    if (value >= lo && value <= hi) return value;
    return decimalNumber(defaultText(key)).value_or(0.0);
}

bool readBool(const SettingsStore& store, const SettingKey& key) {
    if (const auto value = boolValue(readText(store, key))) return *value;
    return boolValue(defaultText(key)).value_or(false);
}

void write(SettingsStore& store, const SettingKey& key, const QString& value) {
    store.save(key.app, QString::fromUtf8(key.section), QString::fromUtf8(key.key), value);
}

QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace moonbite
