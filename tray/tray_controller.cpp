#include "tray_controller.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QSystemTrayIcon>

#include "notifier.h"
#include "settings_store.h"
#include "solunar_day.h"
#include "tray_icons.h"

namespace moonbite {
namespace {

// Moonbite writes a settings file in a few steps (and replaces it by rename);
// read it once the writes have settled.
constexpr int kSettleMs = 250;
constexpr int kMinuteMs = 60 * 1000;

}  // namespace

TrayController::TrayController(TrayServices services, bool withIcons, QObject* parent)
    : QObject(parent),
      services_(std::move(services)),
      withIcons_(withIcons && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr),
      computer_(*services_.store, services_.zone) {
    if (withIcons_) menu_ = std::make_unique<QMenu>();
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TrayController::settingsChanged);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            &TrayController::settingsChanged);
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        watchSettings();
        refresh();
    });
    minute_.setInterval(kMinuteMs);
    connect(&minute_, &QTimer::timeout, this, &TrayController::tick);
    minute_.start();
    watchSettings();
    services_.notifier->onOpen = [this](const QDate& day) {
        if (services_.openMoonbite) services_.openMoonbite(day);
    };
}

TrayController::~TrayController() {
    delete moon_;
    delete fish_;
}

QDate TrayController::today() const {
    return services_.clock().toTimeZone(services_.zone).date();
}

void TrayController::watchSettings() {
    // The folder tells of files that are created or replaced by rename; a
    // watch on a file is lost when it is replaced, so the files are added again.
    const QString folder = services_.store->folder();
    QStringList paths;
    if (QFileInfo(folder).isDir()) {
        paths << folder;
    } else {
        // Not there yet: its parent tells when Moonbite makes it.
        const QString parent = QFileInfo(folder).absolutePath();
        if (QFileInfo(parent).isDir()) paths << parent;
    }
    for (const QString& app : {kTitleApp, kStateApp}) {
        const QString file = services_.store->filePath(app);
        if (QFileInfo(file).isFile()) paths << file;
    }
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& p : paths) {
        if (!watched.contains(p)) watcher_->addPath(p);
    }
}

void TrayController::settingsChanged() {
    settle_.start();
}

void TrayController::refresh() {
    options_ = readTrayOptions(*services_.store);
    refreshedOn_ = today();
    if (options_.locationStored && (options_.showMoon || options_.showFish))
        day_ = computer_.compute(refreshedOn_);
    else
        day_.reset();
    updateIcons();
    lastAlarm_ = checkAlarm();
    if (!options_.locationStored || !options_.anyOn()) emit quitRequested();
    // Remembering the announced day is the companion's only write.
    if (services_.say) {
        const QString lock = services_.store->takeLockFailure();
        if (!lock.isEmpty()) services_.say(settingsLockedText(lock));
    }
    emit refreshed();
}

void TrayController::tick() {
    if (today() != refreshedOn_) {
        refresh();
    } else if (lastAlarm_.due && !lastAlarm_.announced) {
        // At login the desktop's notification service may not be up yet.
        lastAlarm_ = checkAlarm();
    }
}

AlarmCheck TrayController::checkAlarm() {
    AlarmCheck r;
    if (!options_.runAlarm || !options_.locationStored) return r;
    const QDate now = today();
    r.day = now.addDays(options_.daysInAdvance);
    AnnouncedDays memory(*services_.store);
    if (memory.contains(r.day)) {
        r.alreadyAnnounced = true;
        return r;
    }
    const TrayDay day = computer_.compute(r.day);
    r.score = day.score;
    r.rating = day.rating;
    if (!meetsDayType(day.score, options_.dayType)) return r;
    r.due = true;
    r.title = notificationTitle(day);
    r.body = notificationBody(day);
    if (services_.notifier->notify(r.title, r.body, r.day)) {
        memory.add(r.day, now);
        r.announced = true;
    } else {
        r.error = services_.notifier->error();
        // Tried again at the next refresh; said once per day.
        if (lastAlarm_.day != r.day || lastAlarm_.error.isEmpty()) {
            if (services_.say)
                services_.say(QStringLiteral("could not raise the fish alarm for %1: %2")
                                  .arg(longDate(r.day), r.error));
        }
    }
    return r;
}

void TrayController::ensureIcon(QPointer<QSystemTrayIcon>& icon, const char* name) {
    if (icon) return;
    icon = new QSystemTrayIcon(this);
    icon->setObjectName(QString::fromLatin1(name));
    icon->setContextMenu(menu_.get());
    connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) {
            if (services_.openMoonbite) services_.openMoonbite(QDate());
        }
    });
}

void TrayController::updateIcons() {
    const bool wantMoon = day_ && options_.showMoon;
    const bool wantFish = day_ && options_.showFish;
    if ((wantMoon || wantFish) && !saidNoTray_ &&
        (!withIcons_ || !QSystemTrayIcon::isSystemTrayAvailable())) {
        saidNoTray_ = true;
        if (services_.say) {
            services_.say(
                QStringLiteral("no system tray on this desktop; the icons cannot be shown (the "
                               "fish alarm still works)"));
        }
    }
    if (!withIcons_) return;
    if (!wantMoon) delete moon_;
    if (!wantFish) delete fish_;
    rebuildMenu();
    if (wantMoon) {
        ensureIcon(moon_, "moonIcon");
        moon_->setIcon(moonTrayIcon(day_->picture));
        moon_->setToolTip(moonToolTip(*day_));
        moon_->show();
    }
    if (wantFish) {
        ensureIcon(fish_, "fishIcon");
        fish_->setIcon(fishTrayIcon(day_->colour));
        fish_->setToolTip(fishToolTip(*day_));
        fish_->show();
    }
}

void TrayController::rebuildMenu() {
    menu_->clear();
    QAction* open = menu_->addAction(QStringLiteral("&Open Moonbite"));
    open->setObjectName(QStringLiteral("openMoonbite"));
    connect(open, &QAction::triggered, this, [this] {
        if (services_.openMoonbite) services_.openMoonbite(QDate());
    });
    if (day_) {
        menu_->addSection(QStringLiteral("The next 7 days"));
        for (const TrayDay::Rating& r : day_->week) {
            QAction* a = menu_->addAction(
                QIcon(fishTrayPixmap(ratingColour(r.score), 16)),
                QStringLiteral("%1\t%2").arg(shortDate(r.date), ratingWord(r.score)));
            a->setObjectName(QStringLiteral("day") + r.date.toString(Qt::ISODate));
            // Enabled so the desktop draws the week readable rather than greyed out;
            // choosing a day opens Moonbite at it.
            connect(a, &QAction::triggered, this, [this, day = r.date] {
                if (services_.openMoonbite) services_.openMoonbite(day);
            });
        }
    }
    menu_->addSeparator();
    QAction* quit = menu_->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("quit"));
    connect(quit, &QAction::triggered, this, &TrayController::quitRequested);
}

}  // namespace moonbite
