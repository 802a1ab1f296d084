// The per-user settings store: text values addressed by application name,
// section and key, on QSettings INI files.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QSettings;

namespace moonbite {

/// The largest settings file that is parsed: 32,767 saved locations at up to
/// 2 KiB each (a name is written twice, once escaped as a section name, where
/// each character beyond ASCII takes six bytes). Anything larger is not ours.
inline constexpr qint64 kMaxSettingsFileSize = 64 * 1024 * 1024;

/// How long a write waits for a settings file's lock before the store gives
/// up writing for good.
inline constexpr std::chrono::milliseconds kSettingsLockTimeout{3000};

/// The program lists at most this many saved locations.
inline constexpr int kMaxLocationCount = 32767;

/// The program's title, the "title application" of the store.
inline const QString kTitleApp = QStringLiteral("Moonbite");
/// The state application, a separate store.
inline const QString kStateApp = QStringLiteral("Moonbite State");

/// One INI file per application ("Moonbite.ini", "Moonbite State.ini") in one
/// folder. A section "A\B\C" is the group "A/B/C"; every value is text.
class SettingsStore {
  public:
    /// folder: where the INI files live; empty means the user's config folder
    /// (QStandardPaths::GenericConfigLocation + "/Moonbite").
    explicit SettingsStore(QString folder = {});
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    /// The stored text, or defaultValue when the key or a level above it is missing.
    [[nodiscard]] QString get(const QString& app, const QString& section, const QString& key,
                              const QString& defaultValue = {}) const;
    /// Stores the text, creating sections as needed; written to disk at once.
    void save(const QString& app, const QString& section, const QString& key, const QString& value);
    /// Deletes a section with all its keys and subsections.
    void remove(const QString& app, const QString& section);
    /// Deletes one key.
    void remove(const QString& app, const QString& section, const QString& key);

    /// Reads and changes of one application's file made in one step: what it
    /// reads is the file as it is on disk now, with this step's changes.
    class Update {
      public:
        ~Update();
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;
        [[nodiscard]] QString get(const QString& section, const QString& key,
                                  const QString& defaultValue = {}) const;
        void save(const QString& section, const QString& key, const QString& value);
        void remove(const QString& section);
        void remove(const QString& section, const QString& key);

      private:
        friend class SettingsStore;
        explicit Update(QSettings& settings);
        struct Changes;
        QSettings& settings_;
        std::unique_ptr<Changes> changes_;
    };
    /// Runs change on the application's file under its lock, so that no other
    /// window or program writes between what change reads and what it saves,
    /// and writes its changes at once. False when change did not run (the
    /// store is read-only, or the file must not be touched) or its changes
    /// could not be written.
    bool update(const QString& app, const std::function<void(Update&)>& change);

    /// How long writes wait for a lock (kSettingsLockTimeout unless set).
    void setLockTimeout(std::chrono::milliseconds timeout);
    /// True once a lock could not be taken in time: nothing is written any more.
    [[nodiscard]] bool readOnly() const;
    /// The lock file that could not be taken, the first time it is asked for
    /// after that happened; empty otherwise.
    [[nodiscard]] QString takeLockFailure();

    /// False once a write could not be stored (folder or file not writable,
    /// a settings file that is not a regular file, or the store is read-only).
    [[nodiscard]] bool writable() const;
    [[nodiscard]] QString folder() const;
    /// The INI file of the application: folder + "/" + app + ".ini".
    [[nodiscard]] QString filePath(const QString& app) const;

    /// Why the application's file cannot be used, or empty when it can (or
    /// does not exist yet): not a regular file, larger than kMaxSettingsFileSize,
    /// cannot be opened, or damaged (NUL bytes, lines that are not INI). A file
    /// that is not a regular file, too large or unopenable is never parsed: get()
    /// gives the defaults. A damaged file is read for what it holds.
    [[nodiscard]] QString unreadableReason(const QString& app) const;
    /// True when unreadableReason is about damage (not the file's kind or
    /// permissions): the next write keeps the old bytes and replaces the file.
    [[nodiscard]] bool damaged(const QString& app) const;
    /// True when the file is larger than kMaxSettingsFileSize (damaged, and not read at all).
    [[nodiscard]] bool oversized(const QString& app) const;

    /// A file that a write replaced, with where its old bytes were kept
    /// (both full paths) and why.
    struct Replaced {
        enum class Why {
            Damaged,   ///< NUL bytes or lines that are not settings
            TooLarge,  ///< larger than kMaxSettingsFileSize, never read
            NotUtf8,   ///< text that is not UTF-8, read and rewritten with U+FFFD for it
        };
        QString file;
        QString keptAs;
        Why why = Why::Damaged;
    };
    /// The files replaced since the last call; each is reported once.
    [[nodiscard]] std::vector<Replaced> takeReplacedFiles();

  private:
    [[nodiscard]] std::unique_ptr<QSettings> open(const QString& app) const;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

/// One line for the user about a lock that takeLockFailure() gave.
[[nodiscard]] QString settingsLockedText(const QString& lockFile);

/// The section of a saved location: "Settings\Locations\" + the name, with
/// "\", "/" and "%" in the name encoded so that it stays one section and
/// reads back unchanged.
[[nodiscard]] QString locationSection(const QString& name);

/// A key of the schema with its application, section and default.
struct SettingKey {
    const QString& app;
    const char* section;
    const char* key;
    const char* defaultValue;
};

/// The saved locations' names in list order: place(1) .. place(nlist), nlist
/// read as a whole number (0 when absent or not one), at most kMaxLocationCount.
[[nodiscard]] QStringList readLocationNames(const SettingsStore& store);
[[nodiscard]] QStringList readLocationNames(const SettingsStore::Update& update);

/// The schema's keys and defaults, in one table. Where a key has different
/// defaults for different readers, each reader has its own entry.
namespace keys {
// Title application, section "Settings".
extern const SettingKey daterep, winstate, Chartcolor, graphstyle, graphday;
/// The main window's place and size when not maximised: "left,top,width,height"
/// in pixels, "" when never saved.
extern const SettingKey wingeometry;
extern const SettingKey Prediction, Sunrise, Moonrise, Majorminor, Newfull;
/// The print window's "Tides" option: "1" prints each day's highs and lows.
extern const SettingKey Tides;
// Title application, section "Settings\Locations\": the location directory.
extern const SettingKey nlist;
// State application, section "Settings".
extern const SettingKey currentloc, latdeg, latmin, NorS, londeg, lonmin, WorE;
extern const SettingKey gmtInSettingsFrame;  ///< "gmt", default 0 (settings window)
extern const SettingKey gmtForComputation;   ///< "gmt", default 13 (day computation)
extern const SettingKey gmtv, daylight, custom, runalarm, daytype, daysinadvance;
extern const SettingKey showmoon, showfish, moonorth, textipshow;
/// The zone's name ("Australia/Sydney") the computations follow by date; ""
/// for none. Also in each saved location's section.
extern const SettingKey tzname;
/// Where the place's tides come from: "" the nearest station, "none" no
/// tides, else a station's name as the harmonics file writes it. Also in each
/// saved location's section.
extern const SettingKey tidestation;
}  // namespace keys

/// Typed readers: the stored text converted, or the key's default when it is
/// missing or does not convert ("abc" for a number, "maybe" for a boolean).
[[nodiscard]] QString readText(const SettingsStore& store, const SettingKey& key);
[[nodiscard]] int readInt(const SettingsStore& store, const SettingKey& key);
/// readInt, but the key's default when the stored number lies outside lo..hi.
[[nodiscard]] int readIntInRange(const SettingsStore& store, const SettingKey& key, int lo, int hi);
[[nodiscard]] double readReal(const SettingsStore& store, const SettingKey& key);
/// readReal, but the key's default when the stored number lies outside lo..hi.
[[nodiscard]] double readRealInRange(const SettingsStore& store, const SettingKey& key, double lo,
                                     double hi);
/// "True"/"False" (any case) and numeric text (0 is False, anything else True).
[[nodiscard]] bool readBool(const SettingsStore& store, const SettingKey& key);
void write(SettingsStore& store, const SettingKey& key, const QString& value);
/// "True" or "False".
[[nodiscard]] QString boolText(bool value);

}  // namespace moonbite
