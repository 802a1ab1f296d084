// What the companion reads from the stored settings, and the alarm's rule.
#pragma once

#include <QDate>
#include <QList>

namespace moonbite {

class SettingsStore;

/// The companion's options as the settings frame stores them.
struct TrayOptions {
    bool runAlarm = false;        ///< "runalarm"
    int dayType = 1;              ///< "daytype": 0 Excellent .. 3 all days
    int daysInAdvance = 2;        ///< "daysinadvance", 0..kMaxDaysInAdvance
    bool showMoon = true;         ///< "showmoon" = 1
    bool showFish = true;         ///< "showfish" = 1
    bool moonOrth = true;         ///< "moonorth": the picture set
    bool locationStored = false;  ///< a current location has been saved in Moonbite

    [[nodiscard]] bool anyOn() const { return runAlarm || showMoon || showFish; }
    friend bool operator==(const TrayOptions&, const TrayOptions&) = default;
};

/// The farthest ahead the alarm looks; a longer lead stored by hand reads as the default.
inline constexpr int kMaxDaysInAdvance = 366;

/// Reads the options now (the store caches nothing, so a change made by
/// Moonbite is seen at the next call).
[[nodiscard]] TrayOptions readTrayOptions(const SettingsStore& store);

/// Whether a day with this prediction score (0, 33, 66, 100) is one the user
/// asked to be warned of: day type 0 Excellent only, 1 Good or Excellent,
/// 2 Fair or better, 3 every day. Any other day type warns of nothing.
[[nodiscard]] bool meetsDayType(int score, int dayType);

/// The days already announced, kept in the state file in a section of the
/// companion's own ("Tray", key "announced", ISO dates separated by commas).
/// Moonbite's own keys are never written.
class AnnouncedDays {
  public:
    explicit AnnouncedDays(SettingsStore& store) : store_(store) {}
    [[nodiscard]] bool contains(QDate day) const;
    /// Adds the day and forgets the days before today, so the list stays short.
    void add(QDate day, QDate today);
    [[nodiscard]] QList<QDate> days() const;

  private:
    SettingsStore& store_;
};

}  // namespace moonbite
