#include "settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace moonbite {

struct SettingsStore::Impl {
    QString folder;
    bool writable = true;
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

// What an operation may change: each key with its value before (none when it
// did not exist), so a write that could not be stored is undone in memory and
// later reads keep reporting what is on disk.
using Snapshot = std::vector<std::pair<QString, std::optional<QVariant>>>;

// Writes the file; when that fails, puts the snapshot back and says so.
bool commit(QSettings& settings, const Snapshot& before) {
    settings.sync();
    if (settings.status() == QSettings::NoError) return true;
    for (const auto& [key, value] : before) {
        if (value)
            settings.setValue(key, *value);
        else
            removeKeyOnly(settings, key);
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
    return std::make_unique<QSettings>(
        impl_->folder + QLatin1Char('/') + app + QStringLiteral(".ini"), QSettings::IniFormat);
}

QString SettingsStore::get(const QString& app, const QString& section, const QString& key,
                           const QString& defaultValue) const {
    // An empty key would address the section itself as a key of its parent.
    if (key.isEmpty()) return defaultValue;
    const auto settings = open(app);
    const QString name = fullKey(groupPath(section), key);
    if (!settings->contains(name)) return defaultValue;
    return variantText(settings->value(name));
}

void SettingsStore::save(const QString& app, const QString& section, const QString& key,
                         const QString& value) {
    if (key.isEmpty()) return;
    const auto settings = open(app);
    const QString name = fullKey(groupPath(section), key);
    Snapshot before;
    before.emplace_back(name, settings->contains(name)
                                  ? std::optional<QVariant>(settings->value(name))
                                  : std::nullopt);
    settings->setValue(name, value);
    if (!commit(*settings, before)) impl_->writable = false;
}

void SettingsStore::remove(const QString& app, const QString& section) {
    const QString group = groupPath(section);
    // Deleting the root would wipe the whole file; no caller means that.
    if (group.isEmpty()) return;
    const auto settings = open(app);
    Snapshot before;
    for (auto& [name, value] : keysUnder(*settings, group))
        before.emplace_back(name, value);
    if (before.empty()) return;
    // The parent's key of the same name as this section is not part of it.
    std::optional<QVariant> sibling;
    if (settings->contains(group)) sibling = settings->value(group);
    settings->remove(group);
    if (sibling) settings->setValue(group, *sibling);
    if (!commit(*settings, before)) impl_->writable = false;
}

void SettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    if (key.isEmpty()) return;
    const auto settings = open(app);
    const QString name = fullKey(groupPath(section), key);
    if (!settings->contains(name)) return;
    const Snapshot before{{name, settings->value(name)}};
    removeKeyOnly(*settings, name);
    if (!commit(*settings, before)) impl_->writable = false;
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
const SettingKey Chartcolor {kTitleApp, "Settings", "Chartcolor", "12615680"};
const SettingKey graphstyle {kTitleApp, "Settings", "graphstyle", "1"};
const SettingKey graphday   {kTitleApp, "Settings", "graphday",   "15"};
const SettingKey Prediction {kTitleApp, "Settings", "Prediction", "1"};
const SettingKey Sunrise    {kTitleApp, "Settings", "Sunrise",    "0"};
const SettingKey Moonrise   {kTitleApp, "Settings", "Moonrise",   "0"};
const SettingKey Majorminor {kTitleApp, "Settings", "Majorminor", "1"};
const SettingKey Newfull    {kTitleApp, "Settings", "Newfull",    "0"};

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
