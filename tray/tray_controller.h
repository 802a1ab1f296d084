// The companion's behaviour: follows the stored options, keeps the two tray
// icons up to date and raises the fish alarm once per day.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimeZone>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "tray_day.h"
#include "tray_options.h"

class QFileSystemWatcher;
class QMenu;

namespace moonbite {

class Notifier;
class SettingsStore;

/// What the companion needs from outside; tests give their own.
struct TrayServices {
    SettingsStore* store = nullptr;
    Notifier* notifier = nullptr;
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    QTimeZone zone = QTimeZone::systemTimeZone();
    /// Opens Moonbite (or brings it forward) at a day, or where it is for an
    /// invalid date; called on a click, by "Open Moonbite", a day of the week
    /// and the alarm's notification.
    std::function<void(const QDate&)> openMoonbite;
    /// One line for the user, on stderr in the program.
    std::function<void(const QString&)> say;
};

/// The outcome of one alarm check.
struct AlarmCheck {
    QDate day;       ///< the day looked at (today + days in advance); invalid when the alarm is off
    int score = -1;  ///< its prediction score
    QString rating;  ///< and its word
    bool due = false;        ///< it meets the day type and was not announced before
    bool announced = false;  ///< the notification went out and the day is remembered
    bool alreadyAnnounced = false;
    QString title, body;  ///< the notification, when due
    QString error;        ///< why a due notification did not go out
};

class TrayController : public QObject {
    Q_OBJECT
  public:
    /// withIcons: false when there is no display to show icons on (they are
    /// then never made; the alarm still works).
    TrayController(TrayServices services, bool withIcons, QObject* parent = nullptr);
    ~TrayController() override;

    /// Reads the options and does today's work: icons and the alarm.
    void refresh();
    /// Called every minute: after midnight the day's work is done again, and a
    /// notification that could not be sent is tried again.
    void tick();
    /// The alarm for today + "daysinadvance", as refresh runs it.
    AlarmCheck checkAlarm();

    [[nodiscard]] const TrayOptions& options() const { return options_; }
    [[nodiscard]] QDate today() const;
    /// The icons as they are now; null while not asked for.
    [[nodiscard]] QSystemTrayIcon* moonIcon() const { return moon_; }
    [[nodiscard]] QSystemTrayIcon* fishIcon() const { return fish_; }
    [[nodiscard]] QMenu* menu() const { return menu_.get(); }
    /// Today's values, when a location is stored.
    [[nodiscard]] const std::optional<TrayDay>& shownDay() const { return day_; }
    [[nodiscard]] const AlarmCheck& lastAlarm() const { return lastAlarm_; }

  signals:
    /// After every refresh (settings changed, a new day, or the start).
    void refreshed();
    /// Quit from the menu, or nothing is left to do: the alarm and both
    /// icons were turned off (or the location removed) in Moonbite.
    void quitRequested();

  private:
    void watchSettings();
    void settingsChanged();
    void updateIcons();
    void rebuildMenu();
    void ensureIcon(QPointer<QSystemTrayIcon>& icon, const char* name);

    TrayServices services_;
    bool withIcons_;
    DayComputer computer_;
    TrayOptions options_;
    std::optional<TrayDay> day_;
    QDate refreshedOn_;
    AlarmCheck lastAlarm_;
    bool saidNoTray_ = false;
    QPointer<QSystemTrayIcon> moon_;
    QPointer<QSystemTrayIcon> fish_;
    std::unique_ptr<QMenu> menu_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer settle_;
    QTimer minute_;
};

}  // namespace moonbite
