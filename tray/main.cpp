// moonbite-tray: the companion that shows today's Moon and fishing prediction
// in the system tray and raises the fish alarm, as set in Moonbite.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <cstring>
#include <memory>

#include "display.h"
#include "launcher.h"
#include "notifier.h"
#include "settings_store.h"
#include "tray_controller.h"
#include "tray_day.h"

namespace {

constexpr const char* kUsage =
    "usage: moonbite-tray [--once [--date YYYY-MM-DD]] [--settings-dir DIR]\n"
    "\n"
    "Shows today's Moon and fishing prediction in the system tray and raises the\n"
    "fish alarm, as chosen in Moonbite under Settings > Program Settings (Fish Alarm\n"
    "Condition, Alarm Settings, System Tray Icons). It follows changes to those\n"
    "options while it runs, and is started at login by its autostart entry.\n"
    "\n"
    "  --once               do one day's work without icons: print what the icons\n"
    "                       would show, raise the alarm's notification when one is\n"
    "                       due (and remember it), then exit\n"
    "  --date YYYY-MM-DD    with --once: work as on that day instead of today\n"
    "  --settings-dir DIR   read the settings from DIR instead of ~/.config/Moonbite\n"
    "  -h, --help           show this text and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "Exit status: 0, also when there is nothing to do (no location saved in Moonbite,\n"
    "every option off, no session bus); 2 for options it does not understand.\n";

// The bus name that keeps a second companion from starting beside the first.
const QString kBusName = QStringLiteral("app.moonbite.Tray");

void say(const QString& line) {
    std::fprintf(stderr, "moonbite-tray: %s\n", line.toLocal8Bit().constData());
}

void out(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

struct Arguments {
    bool once = false;
    bool help = false;
    bool version = false;
    QString date;
    QString settingsDir;
    QString error;
};

Arguments parse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        auto value = [&](const char* name) -> QString {
            if (i + 1 >= argc) {
                a.error = QStringLiteral("%1 needs a value").arg(QString::fromLatin1(name));
                return {};
            }
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            a.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            a.version = true;
        } else if (std::strcmp(arg, "--once") == 0) {
            a.once = true;
        } else if (std::strcmp(arg, "--date") == 0) {
            a.date = value("--date");
        } else if (std::strcmp(arg, "--settings-dir") == 0) {
            a.settingsDir = value("--settings-dir");
        } else {
            a.error = QStringLiteral("unknown option %1").arg(QString::fromLocal8Bit(arg));
        }
        if (!a.error.isEmpty()) break;
    }
    if (a.error.isEmpty() && !a.date.isEmpty() && !a.once)
        a.error = QStringLiteral("--date works only with --once");
    return a;
}

QString alarmReport(const moonbite::AlarmCheck& r, const moonbite::TrayOptions& o) {
    using moonbite::longDate;
    if (!o.runAlarm) return QStringLiteral("Alarm: off");
    if (r.alreadyAnnounced)
        return QStringLiteral("Alarm: %1 was announced before").arg(longDate(r.day));
    if (!r.due)
        return QStringLiteral("Alarm: %1 is %2, not a day to warn of")
            .arg(longDate(r.day), r.rating);
    if (r.announced)
        return QStringLiteral("Announced: %1\n  %2")
            .arg(r.title, QString(r.body).replace(QLatin1Char('\n'), QStringLiteral("\n  ")));
    return QStringLiteral("Alarm: due for %1 but not sent (%2)").arg(longDate(r.day), r.error);
}

int runOnce(const Arguments& args, moonbite::SettingsStore& store) {
    QDate day = QDate::currentDate();
    if (!args.date.isEmpty()) {
        day = QDate::fromString(args.date, Qt::ISODate);
        if (!day.isValid() || day.year() < 1901 || day.year() > 2200) {
            say(QStringLiteral(
                    "--date \"%1\" is not a date in YYYY-MM-DD form between 1901 and 2200")
                    .arg(args.date));
            return 2;
        }
    }
    moonbite::DBusNotifier notifier;
    moonbite::TrayServices services;
    services.store = &store;
    services.notifier = &notifier;
    // Noon of the day, so the date is the same in the computer's zone.
    services.clock = [day] { return QDateTime(day, QTime(12, 0), QTimeZone::systemTimeZone()); };
    // What went wrong is part of the report printed below.
    moonbite::TrayController tray(std::move(services), false);
    const moonbite::TrayOptions o = moonbite::readTrayOptions(store);
    if (!o.locationStored) {
        out(QStringLiteral("No location is saved in Moonbite: nothing to show or announce."));
        return 0;
    }
    // refresh() does the day's work, the alarm included.
    tray.refresh();
    if (const QString lock = store.takeLockFailure(); !lock.isEmpty())
        say(moonbite::settingsLockedText(lock));
    out(QStringLiteral("Day: ") + moonbite::longDate(day));
    const auto& shown = tray.shownDay();
    if (o.showMoon && shown)
        out(QStringLiteral("Moon icon: ") +
            moonbite::moonToolTip(*shown).replace(QLatin1Char('\n'), QStringLiteral(" | ")));
    else
        out(QStringLiteral("Moon icon: off"));
    if (o.showFish && shown)
        out(QStringLiteral("Fish icon: ") +
            moonbite::fishToolTip(*shown).replace(QLatin1Char('\n'), QStringLiteral(" | ")));
    else
        out(QStringLiteral("Fish icon: off"));
    out(alarmReport(tray.lastAlarm(), o));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments args = parse(argc, argv);
    if (!args.error.isEmpty()) {
        say(args.error + QStringLiteral(" (see --help)"));
        return 2;
    }
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.version) {
        std::puts("moonbite-tray " MOONBITE_VERSION);
        return 0;
    }
    if (args.once) {
        QCoreApplication app(argc, argv);
        moonbite::SettingsStore store(args.settingsDir);
        return runOnce(args, store);
    }

    // At login: nothing to do unless Moonbite has a location and an option is on.
    // The settings are read before Qt starts, so that this case costs next to nothing.
    {
        const moonbite::SettingsStore probe(args.settingsDir);
        const moonbite::TrayOptions o = moonbite::readTrayOptions(probe);
        if (!o.locationStored || !o.anyOn()) return 0;
    }

    const bool icons = moonbite::displayAvailable();
    std::unique_ptr<QCoreApplication> app;
    if (icons) {
        auto* gui = new QApplication(argc, argv);
        gui->setQuitOnLastWindowClosed(false);
        app.reset(gui);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Moonbite"));
    QCoreApplication::setApplicationName(QStringLiteral("Moonbite Tray"));

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        say(QStringLiteral("no session bus; neither the alarm nor the icons can work here"));
        return 0;
    }
    if (!bus.registerService(kBusName)) {
        say(QStringLiteral("already running"));
        return 0;
    }
    moonbite::SettingsStore store(args.settingsDir);
    moonbite::DBusNotifier notifier;
    moonbite::TrayServices services;
    services.store = &store;
    services.notifier = &notifier;
    services.say = say;
    services.openMoonbite = [](const QDate& day) {
        const QString problem = moonbite::openMoonbite(day);
        if (!problem.isEmpty()) say(problem);
    };
    moonbite::TrayController tray(std::move(services), icons);
    QObject::connect(&tray, &moonbite::TrayController::quitRequested, app.get(),
                     &QCoreApplication::quit);
    tray.refresh();
    return app->exec();
}
