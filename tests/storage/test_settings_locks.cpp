// A settings file whose lock cannot be taken: left behind as a folder, or
// held by another writer. One write waits for it, then the store stops
// writing and reads on.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "qstring_print.h"
#include "settings_store.h"

namespace moonbite {
namespace {

struct HeldLock {
    const char* name;
    const char* lockFile;  // in the settings folder
    bool folder;           // a folder by that name, else a lock file another writer holds
};
void PrintTo(const HeldLock& c, std::ostream* os) {
    *os << c.name;
}

class LockedSettings : public ::testing::TestWithParam<HeldLock> {
  protected:
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    static QByteArray readBytes(const QString& file) {
        QFile f(file);
        return f.open(QFile::ReadOnly) ? f.readAll() : QByteArray();
    }
    void hold() {
        const QString lock = path(QString::fromLatin1(GetParam().lockFile));
        if (GetParam().folder) {
            ASSERT_TRUE(QDir().mkpath(lock));
            return;
        }
        other_ = std::make_unique<QLockFile>(lock);
        ASSERT_TRUE(other_->tryLock());
    }

    QTemporaryDir dir_;
    SettingsStore store_{dir_.path()};
    std::unique_ptr<QLockFile> other_;
};

TEST_P(LockedSettings, OneWriteWaitsThenNothingIsWrittenAndReadsGoOn) {
    write(store_, keys::latdeg, "33");
    const QString stateFile = path(QStringLiteral("Moonbite State.ini"));
    const QByteArray before = readBytes(stateFile);
    hold();
    store_.setLockTimeout(std::chrono::milliseconds(200));

    write(store_, keys::latdeg, "10");
    EXPECT_TRUE(store_.readOnly());
    EXPECT_FALSE(store_.writable());
    EXPECT_EQ(store_.takeLockFailure(), path(QString::fromLatin1(GetParam().lockFile)));
    EXPECT_TRUE(store_.takeLockFailure().isEmpty());  // said once

    // No write is tried again, on either file.
    write(store_, keys::graphday, "20");
    store_.remove(kStateApp, QStringLiteral("Settings"), QStringLiteral("latdeg"));
    store_.remove(kStateApp, QStringLiteral("Settings"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Moonbite.ini"))));
    EXPECT_EQ(readBytes(stateFile), before);
    EXPECT_EQ(readInt(store_, keys::latdeg), 33);
    EXPECT_TRUE(store_.takeLockFailure().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Held, LockedSettings,
    ::testing::Values(HeldLock{"AStaleLockFolder", "Moonbite State.ini.lock", true},
                      HeldLock{"ALockAnotherWriterHolds", "Moonbite State.ini.lock", false},
                      HeldLock{"AStaleUpdateLockFolder", "Moonbite State.ini.update.lock", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moonbite
