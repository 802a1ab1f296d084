// A second start for the same settings folder hands over to the running
// instance and leaves; other folders run on their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <vector>

#include "single_instance.h"

namespace moonbite {
namespace {

// Runs the event loop until done() or a time limit (the listener answers
// from the loop).
template <typename F>
bool waitFor(F done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(SingleInstance, ASecondStartHandsOverAndTheFirstComesForward) {
    QTemporaryDir config;
    int raised = 0;
    QDate asked(1999, 1, 1);
    // The folder the program's settings live in under this config home.
    SingleInstance first(config.path() + QStringLiteral("/Moonbite"));
    ASSERT_FALSE(first.handOverOrListen(QDate(), [&](const QDate& d) {
        ++raised;
        asked = d;
    })) << "nobody to hand over to";

    // The second start blocks while it waits for the answer, so it runs in a
    // process of its own here: the real program, on the same folder.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(MOONBITE_PROGRAM_PATH), {});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return raised == 1; })) << "the running one was not asked";
    EXPECT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    if (second.state() != QProcess::NotRunning) second.kill();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(asked.isValid()) << "no day was asked for";

    // A start at a day (a tray notification's "Open Moonbite") hands the day over.
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(QStringLiteral(MOONBITE_PROGRAM_PATH), {QStringLiteral("--date"),
                                                        QStringLiteral("2000-02-06")});
    ASSERT_TRUE(third.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return raised == 2; }));
    EXPECT_EQ(asked, QDate(2000, 2, 6));
    EXPECT_TRUE(waitFor([&] { return third.state() == QProcess::NotRunning; }, 10000));
    if (third.state() != QProcess::NotRunning) third.kill();
    EXPECT_EQ(third.exitCode(), 0);
}

// What comes over the socket is checked: only "raise" or "raise" and a day.
TEST(SingleInstance, RequestsOtherThanRaiseAreIgnored) {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    std::vector<QDate> asked;
    ASSERT_FALSE(first.handOverOrListen(QDate(), [&](const QDate& d) { asked.push_back(d); }));
    for (const char* line : {"raise 2000-13-40\n", "raise 2000-02-06 extra\n", "quit\n",
                             "raise2000-02-06\n", "raise 2000-02-06\n", "raise\n"}) {
        QLocalSocket caller;
        caller.connectToServer(first.serverName());
        ASSERT_TRUE(caller.waitForConnected(1000));
        caller.write(line);
        caller.flush();
        // The listener answers every line, taken or not.
        EXPECT_TRUE(waitFor([&] { return caller.bytesAvailable() > 0; })) << line;
        caller.disconnectFromServer();
    }
    ASSERT_EQ(asked.size(), 2U);
    EXPECT_EQ(asked[0], QDate(2000, 2, 6));
    EXPECT_FALSE(asked[1].isValid());
}

// A bad --date is refused in one line before any window or hand-over.
TEST(SingleInstance, ABadDateIsRefused) {
    for (const char* bad : {"2000-02-30", "1900-12-31", "2201-01-01", "tomorrow", ""}) {
        QProcess p;
        p.start(QStringLiteral(MOONBITE_PROGRAM_PATH), {QStringLiteral("--date"),
                                                        QString::fromLatin1(bad)});
        ASSERT_TRUE(p.waitForFinished(10000)) << bad;
        EXPECT_EQ(p.exitCode(), 2) << bad;
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("--date"))) << err.toStdString();
    }
}

TEST(SingleInstance, OtherFoldersAndCrashedInstancesDoNotCount) {
    QTemporaryDir a;
    QTemporaryDir b;
    SingleInstance first(a.path());
    ASSERT_FALSE(first.handOverOrListen(QDate(), [](const QDate&) {}));
    SingleInstance other(b.path());
    EXPECT_NE(other.serverName(), first.serverName());
    EXPECT_FALSE(other.handOverOrListen(QDate(), [](const QDate&) {}))
        << "another folder is another instance";

    // A socket file left behind by a crash answers no one; the next start
    // takes its place and is found by the one after it.
    QTemporaryDir c;
    SingleInstance crashed(c.path());
    QFile stale(QDir::temp().filePath(crashed.serverName()));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance next(c.path());
    EXPECT_FALSE(next.handOverOrListen(QDate(), [](const QDate&) {}));
    QLocalSocket caller;
    caller.connectToServer(next.serverName());
    EXPECT_TRUE(caller.waitForConnected(1000)) << "the new start is not listening";
}

}  // namespace
}  // namespace moonbite
