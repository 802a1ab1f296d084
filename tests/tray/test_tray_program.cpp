// moonbite-tray as the user and the desktop run it: on a private session bus
// with a stand-in notification service that records what it is sent.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "wait_until.h"
#include "tray_test_support.h"

namespace moonbite {
namespace {

/// org.freedesktop.Notifications as a desktop offers it, recording each call.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Call {
        QString appName, icon, summary, body;
        QStringList actions;
        QString desktopEntry;
    };
    QList<Call> calls;

  public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout) {
        Q_UNUSED(replacesId);
        Q_UNUSED(timeout);
        calls.push_back({appName, icon, summary, body, actions,
                         hints.value(QStringLiteral("desktop-entry")).toString()});
        return static_cast<uint>(calls.size());
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
};

struct TrayRun {
    int exitCode = -1;
    QString out, err;
};

/// Runs the program and keeps this process's event loop going meanwhile, so
/// the stand-in service here can answer it.
TrayRun runTray(const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    QSignalSpy finished(&p, &QProcess::finished);
    p.start(QStringLiteral(MOONBITE_TRAY_PATH), args);
    EXPECT_TRUE(finished.wait(30000)) << "moonbite-tray did not finish";
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

class SessionBus : public ::testing::Test {
  protected:
    void SetUp() override {
        const QByteArray why = qgetenv("MOONBITE_NO_SESSION_BUS");
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "the test runs under dbus-run-session, yet has no session bus";
        test::storeSydney(*f.store);
        test::setOption(*f.store, "runalarm", QStringLiteral("True"));
        test::setOption(*f.store, "daytype", QStringLiteral("0"));  // Excellent days
        test::setOption(*f.store, "daysinadvance", QStringLiteral("4"));
    }
    void TearDown() override {
        if (registered_) {
            QDBusConnection::sessionBus().unregisterObject(
                QStringLiteral("/org/freedesktop/Notifications"));
            QDBusConnection::sessionBus().unregisterService(
                QStringLiteral("org.freedesktop.Notifications"));
        }
    }
    void offerNotifications() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                       QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        registered_ = true;
    }
    QStringList once(const char* date) {
        return {QStringLiteral("--once"), QStringLiteral("--date"), QString::fromLatin1(date),
                QStringLiteral("--settings-dir"), f.dir.path()};
    }
    test::TrayFixture f;
    FakeNotifications service;
    bool registered_ = false;
};

// 2 February 2000 + 4 days is Sunday the 6th, an Excellent day at Sydney;
// its periods as `moonbite-cli day --lat 33:52S --lon 151:13E --tz 10
// --date 2000-02-06` gives them (major, Moon above 11:34 AM, Moon below
// blank; minor 06:30 PM and 04:38 AM).
TEST_F(SessionBus, OnceSendsTheDueNotificationAndRemembersIt) {
    offerNotifications();
    const TrayRun first = runTray(once("2000-02-02"));
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    ASSERT_EQ(service.calls.size(), 1) << first.out.toStdString() << first.err.toStdString();
    EXPECT_EQ(service.calls[0].appName, QStringLiteral("Moonbite"));
    EXPECT_EQ(service.calls[0].icon, QStringLiteral("moonbite"));
    EXPECT_EQ(service.calls[0].summary,
              QStringLiteral("Excellent fishing on Sunday 6 February 2000"));
    // The major period with the Moon below starts on another day: blank in
    // the window, left out here.
    EXPECT_EQ(service.calls[0].body,
              QStringLiteral("Major periods: 11:34 AM (Moon above)\n"
                             "Minor periods: 06:30 PM (Moon above), 04:38 AM "
                             "(Moon below)"));
    EXPECT_TRUE(first.out.contains(
        QStringLiteral("Announced: Excellent fishing on Sunday 6 February 2000")))
        << first.out.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("Moon icon: Waning Crescent")))
        << first.out.toStdString();

    // Again the same day, and again after a restart: announced before.
    const TrayRun second = runTray(once("2000-02-02"));
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(service.calls.size(), 1);
    EXPECT_TRUE(second.out.contains(QStringLiteral("announced before")))
        << second.out.toStdString();

    // The next day looks at Monday the 7th, Excellent too.
    runTray(once("2000-02-03"));
    ASSERT_EQ(service.calls.size(), 2);
    EXPECT_EQ(service.calls[1].summary,
              QStringLiteral("Excellent fishing on Monday 7 February 2000"));
    // A day that is not Excellent (the 13th is Poor) raises nothing.
    const TrayRun poor = runTray(once("2000-02-09"));
    EXPECT_EQ(service.calls.size(), 2);
    EXPECT_TRUE(poor.out.contains(QStringLiteral("is Poor, not a day to warn of")))
        << poor.out.toStdString();
}

TEST_F(SessionBus, WithoutANotificationServiceNothingIsRemembered) {
    const TrayRun r = runTray(once("2000-02-02"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("but not sent"))) << r.out.toStdString();
    f.store = std::make_unique<SettingsStore>(f.dir.path());
    EXPECT_TRUE(AnnouncedDays(*f.store).days().isEmpty());

    // Once a service is there, the day still gets its notification.
    offerNotifications();
    runTray(once("2000-02-02"));
    EXPECT_EQ(service.calls.size(), 1);
}

// A lock folder left beside the state file: the notification still goes
// out, the day cannot be remembered, the program says so in one line and
// finishes.
TEST_F(SessionBus, OnceWithTheSettingsLockHeldAnnouncesSaysSoAndFinishes) {
    offerNotifications();
    const QString stateFile = f.store->filePath(kStateApp);
    const QString lock = stateFile + QStringLiteral(".lock");
    ASSERT_TRUE(QDir().mkpath(lock));
    QFile file(stateFile);
    ASSERT_TRUE(file.open(QFile::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const TrayRun r = runTray(once("2000-02-02"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(service.calls.size(), 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Announced: "))) << r.out.toStdString();
    const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.filter(QStringLiteral("lock")).size(), 1) << r.err.toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("lock"))[0].contains(lock)) << r.err.toStdString();
    ASSERT_TRUE(file.open(QFile::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(SessionBus, RunningWithoutATrayStillRaisesTheAlarm) {
    offerNotifications();
    // Today's day ahead must be due whatever today is: every day, 0 days ahead.
    test::setOption(*f.store, "daytype", QStringLiteral("3"));
    test::setOption(*f.store, "daysinadvance", QStringLiteral("0"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess tray;
    tray.setProcessEnvironment(env);
    tray.start(QStringLiteral(MOONBITE_TRAY_PATH),
               {QStringLiteral("--settings-dir"), f.dir.path()});
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return service.calls.size() == 1; }, 20000));
    EXPECT_EQ(service.calls[0].appName, QStringLiteral("Moonbite"));

    // A second one started beside it leaves at once.
    const TrayRun second = runTray({QStringLiteral("--settings-dir"), f.dir.path()}, env);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(second.err.contains(QStringLiteral("already running"))) << second.err.toStdString();

    tray.terminate();
    ASSERT_TRUE(tray.waitForFinished(10000));
    const QString err = QString::fromLocal8Bit(tray.readAllStandardError());
    EXPECT_EQ(err.count(QStringLiteral("icons cannot be shown")), 1) << err.toStdString();
    EXPECT_EQ(service.calls.size(), 1);
}

// The notification offers to open Moonbite; choosing it (or clicking the
// notification) opens it at the day it tells of. Other programs' actions,
// which the bus signal carries to everyone, are not ours.
TEST_F(SessionBus, TheNotificationOpensMoonbiteAtItsDay) {
    offerNotifications();
    DBusNotifier notifier;
    QList<QDate> opened;
    notifier.onOpen = [&opened](const QDate& d) { opened.push_back(d); };
    ASSERT_TRUE(notifier.notify(QStringLiteral("Excellent fishing"), QStringLiteral("body"),
                                QDate(2000, 2, 6)))
        << notifier.error().toStdString();
    ASSERT_TRUE(notifier.notify(QStringLiteral("Excellent fishing"), QStringLiteral("body"),
                                QDate(2000, 2, 7)));
    ASSERT_EQ(service.calls.size(), 2);
    const QStringList& actions = service.calls[0].actions;
    ASSERT_EQ(actions.size() % 2, 0) << "actions come as key and label pairs";
    EXPECT_TRUE(actions.contains(QStringLiteral("default")));
    EXPECT_TRUE(actions.contains(QStringLiteral("Open Moonbite")));
    EXPECT_EQ(service.calls[0].desktopEntry, QStringLiteral("app.moonbite.Moonbite"))
        << "the hint names the installed desktop entry";

    auto invoke = [](uint id, const QString& key) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << key;
        QDBusConnection::sessionBus().send(signal);
    };
    invoke(2, kOpenAction);  // the second notification's button
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return opened.size() == 1; }, 5000));
    EXPECT_EQ(opened[0], QDate(2000, 2, 7));
    invoke(77, QStringLiteral("default"));          // not one of ours
    invoke(1, QStringLiteral("some-other-action"));  // not an action we offered
    invoke(1, QStringLiteral("default"));            // a click on the first
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return opened.size() == 2; }, 5000));
    EXPECT_EQ(opened[1], QDate(2000, 2, 6));
}

}  // namespace
}  // namespace moonbite

#include "test_tray_program.moc"
