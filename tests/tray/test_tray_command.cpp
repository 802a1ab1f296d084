// moonbite-tray's command line, and the cases where it has nothing to do.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "tray_test_support.h"

namespace moonbite {
namespace {

struct TrayRun {
    int exitCode = -1;
    QString out, err;
};

/// Runs the program without a display or a session bus unless env gives them.
TrayRun runTray(const QStringList& args, QProcessEnvironment env = {}) {
    env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    env.insert(QStringLiteral("HOME"), QDir::tempPath());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(MOONBITE_TRAY_PATH), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(TrayCommand, HelpListsEveryOption) {
    const TrayRun r = runTray({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option : {"--once", "--date", "--settings-dir", "--help", "--version"})
        EXPECT_TRUE(r.out.contains(QString::fromLatin1(option))) << option;
}

TEST(TrayCommand, VersionIsOneLine) {
    const TrayRun r = runTray({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("moonbite-tray " MOONBITE_VERSION "\n"));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

TEST(TrayCommand, RefusesWhatItDoesNotKnow) {
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{QStringLiteral("--bogus")}, "unknown option --bogus"},
        {{QStringLiteral("--date"), QStringLiteral("2000-01-01")}, "--date works only with --once"},
        {{QStringLiteral("--once"), QStringLiteral("--date")}, "--date needs a value"},
        {{QStringLiteral("--once"), QStringLiteral("--date"), QStringLiteral("2000-02-30")},
         "is not a date"},
        {{QStringLiteral("--once"), QStringLiteral("--date"), QStringLiteral("1900-12-31")},
         "is not a date"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        QStringList args = c.args;
        args << QStringLiteral("--settings-dir") << dir.path();
        if (c.args.last() == QLatin1String("--date")) args = c.args;  // the value is missing
        const TrayRun r = runTray(args);
        EXPECT_EQ(r.exitCode, 2) << c.says;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
    }
}

// At login without anything to do: leave at once, quietly.
TEST(TrayCommand, LeavesQuietlyWithNothingToDo) {
    test::TrayFixture f;
    // A first login: Moonbite never saved a location (its tray options read as on).
    TrayRun r = runTray({QStringLiteral("--settings-dir"), f.dir.path()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.err.toStdString();

    // A location, but the alarm and both icons off.
    test::storeSydney(*f.store);
    test::setOption(*f.store, "runalarm", QStringLiteral("False"));
    test::setOption(*f.store, "showmoon", QStringLiteral("0"));
    test::setOption(*f.store, "showfish", QStringLiteral("0"));
    r = runTray({QStringLiteral("--settings-dir"), f.dir.path()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << r.err.toStdString();

    // --once says why it did nothing.
    f.store->remove(kStateApp, QStringLiteral("Settings"), QStringLiteral("currentloc"));
    r = runTray({QStringLiteral("--once"), QStringLiteral("--settings-dir"), f.dir.path()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("No location is saved"))) << r.out.toStdString();
}

TEST(TrayCommand, WithoutASessionBusSaysSoAndLeaves) {
    test::TrayFixture f;
    test::storeSydney(*f.store);
    QProcessEnvironment env;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + f.dir.path() + QStringLiteral("/no-bus"));
    const TrayRun r = runTray({QStringLiteral("--settings-dir"), f.dir.path()}, env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no session bus"))) << r.err.toStdString();
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
}

TEST(TrayCommand, OnceWithoutABusPrintsTheDayAndKeepsTheAlarmDue) {
    test::TrayFixture f;
    test::storeSydney(*f.store);
    test::setOption(*f.store, "runalarm", QStringLiteral("True"));
    test::setOption(*f.store, "daytype", QStringLiteral("3"));
    test::setOption(*f.store, "daysinadvance", QStringLiteral("0"));
    test::setOption(*f.store, "showfish", QStringLiteral("0"));
    QProcessEnvironment env;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + f.dir.path() + QStringLiteral("/no-bus"));
    const TrayRun r =
        runTray({QStringLiteral("--once"), QStringLiteral("--date"), QStringLiteral("2000-01-21"),
                 QStringLiteral("--settings-dir"), f.dir.path()},
                env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(
        r.out,
        QStringLiteral("Day: Friday 21 January 2000\n"
                       "Moon icon: Full Moon, 14 days old | Moonrise 07:13 PM, moonset 04:43 AM | "
                       "Full Moon today, 02:40 PM\n"
                       "Fish icon: off\n"
                       "Alarm: due for Friday 21 January 2000 but not sent (no session bus)\n"));
    f.store = std::make_unique<SettingsStore>(f.dir.path());
    EXPECT_TRUE(AnnouncedDays(*f.store).days().isEmpty());
}

}  // namespace
}  // namespace moonbite
