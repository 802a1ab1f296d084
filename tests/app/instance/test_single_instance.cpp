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
    // The folder the program's settings live in under this config home.
    SingleInstance first(config.path() + QStringLiteral("/Moonbite"));
    ASSERT_FALSE(first.handOverOrListen([&raised] { ++raised; })) << "nobody to hand over to";

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
}

TEST(SingleInstance, OtherFoldersAndCrashedInstancesDoNotCount) {
    QTemporaryDir a;
    QTemporaryDir b;
    SingleInstance first(a.path());
    ASSERT_FALSE(first.handOverOrListen([] {}));
    SingleInstance other(b.path());
    EXPECT_NE(other.serverName(), first.serverName());
    EXPECT_FALSE(other.handOverOrListen([] {})) << "another folder is another instance";

    // A socket file left behind by a crash answers no one; the next start
    // takes its place and is found by the one after it.
    QTemporaryDir c;
    SingleInstance crashed(c.path());
    QFile stale(QDir::temp().filePath(crashed.serverName()));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance next(c.path());
    EXPECT_FALSE(next.handOverOrListen([] {}));
    QLocalSocket caller;
    caller.connectToServer(next.serverName());
    EXPECT_TRUE(caller.waitForConnected(1000)) << "the new start is not listening";
}

}  // namespace
}  // namespace moonbite
