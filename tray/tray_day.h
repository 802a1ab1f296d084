// One day as the tray shows and announces it, computed by the same core and
// from the same stored place as the main window.
#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QTimeZone>

namespace moonbite {

class SettingsStore;

/// A day's values, as texts the window shows.
struct TrayDay {
    QDate date;
    int picture = 0;   ///< phase picture 100..111 of the stored picture set
    QString phase;     ///< "New Moon", "Waxing Crescent", .., "Waning Crescent"
    int age = 0;       ///< days since the last new moon
    QString moonrise;  ///< "07:13 PM", "No moonrise", ..
    QString moonset;
    QString nextPhase;  ///< "New Moon" or "Full Moon": the next of the two from this day on
    QDate nextPhaseDate;
    QString nextPhaseTime;  ///< "02:40 PM", empty when the table has no time for it
    int score = 0;          ///< 0, 33, 66, 100
    QString rating;         ///< "Poor", "Fair", "Good", "Excellent"
    QColor colour;          ///< the prediction colour
    QString majorAbove, majorBelow, minorAbove, minorBelow;
    /// The prediction of this day and the six after it, as the window's graph rates them.
    struct Rating {
        QDate date;
        int score = 0;
    };
    QList<Rating> week;
};

/// Computes days for the stored current location, with the computer's zone
/// for the places whose clocks follow it.
class DayComputer {
  public:
    DayComputer(const SettingsStore& store, QTimeZone systemZone)
        : store_(store), zone_(std::move(systemZone)) {}
    /// The day's values; the place and the picture set are read from the store now.
    [[nodiscard]] TrayDay compute(QDate date) const;

  private:
    const SettingsStore& store_;
    QTimeZone zone_;
};

/// The phase name for a picture number of a picture set (reverseSet: "moonorth"),
/// given the days to the new and full moon (DN, DF).
[[nodiscard]] QString phaseName(int picture, bool reverseSet, int daysToNew, int daysToFull);

/// "Poor", "Fair", "Good" or "Excellent" for a score.
[[nodiscard]] QString ratingWord(int score);
/// The prediction colour of a score.
[[nodiscard]] QColor ratingColour(int score);

/// "Tue 21 Jan 2000" in English, as the window's date texts are.
[[nodiscard]] QString shortDate(QDate date);
/// "Friday 21 January 2000".
[[nodiscard]] QString longDate(QDate date);

/// The Moon icon's tip: phase and age, moonrise and moonset, the next new or full moon.
[[nodiscard]] QString moonToolTip(const TrayDay& day);
/// The fish icon's tip: the rating and the major and minor periods.
[[nodiscard]] QString fishToolTip(const TrayDay& day);
/// The alarm's notification: the title names the day and its rating, the
/// body gives its major and minor periods.
[[nodiscard]] QString notificationTitle(const TrayDay& day);
[[nodiscard]] QString notificationBody(const TrayDay& day);

}  // namespace moonbite
