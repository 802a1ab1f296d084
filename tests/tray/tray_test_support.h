// Shared pieces of the companion's tests: a settings folder with a stored
// place, a notifier that records, and a clock the test sets.
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimeZone>
#include <memory>

#include "notifier.h"
#include "qstring_print.h"
#include "settings_store.h"
#include "tray_controller.h"

namespace moonbite::test {

/// Sydney as the settings frame stores it, on a fixed zone of +10 h (no
/// daylight saving), the place the README's and the CLI's examples use.
inline void storeSydney(SettingsStore& s) {
    const QString st = QStringLiteral("Settings");
    s.save(kStateApp, st, QStringLiteral("currentloc"), QStringLiteral("Sydney"));
    s.save(kStateApp, st, QStringLiteral("latdeg"), QStringLiteral("33"));
    s.save(kStateApp, st, QStringLiteral("latmin"), QStringLiteral("52"));
    s.save(kStateApp, st, QStringLiteral("NorS"), QStringLiteral("S"));
    s.save(kStateApp, st, QStringLiteral("londeg"), QStringLiteral("151"));
    s.save(kStateApp, st, QStringLiteral("lonmin"), QStringLiteral("13"));
    s.save(kStateApp, st, QStringLiteral("WorE"), QStringLiteral("E"));
    s.save(kStateApp, st, QStringLiteral("gmt"), QStringLiteral("10"));
    s.save(kStateApp, st, QStringLiteral("custom"), QStringLiteral("True"));
    s.save(kStateApp, st, QStringLiteral("daylight"), QStringLiteral("0"));
}

/// Writes one of Moonbite's keys in the state application's [Settings].
inline void setOption(SettingsStore& s, const char* key, const QString& value) {
    s.save(kStateApp, QStringLiteral("Settings"), QString::fromLatin1(key), value);
}

struct Notification {
    QString title;
    QString body;
    QDate day;
};

class RecordingNotifier : public Notifier {
  public:
    bool notify(const QString& title, const QString& body, const QDate& day) override {
        if (failWith.isEmpty()) sent.push_back({title, body, day});
        return failWith.isEmpty();
    }
    [[nodiscard]] QString error() const override { return failWith; }
    std::vector<Notification> sent;
    QString failWith;  ///< when not empty, every notification fails with this reason
};

/// The zone the stored place uses, so the clock's date is the place's date.
inline QTimeZone plusTen() {
    return QTimeZone(10 * 3600);
}

/// A settings folder, a store on it, a recording notifier and a clock.
struct TrayFixture {
    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(dir.path());
    RecordingNotifier notifier;
    QDateTime now = QDateTime(QDate(2000, 2, 2), QTime(9, 0), plusTen());
    int opened = 0;
    QList<QDate> openedAt;  ///< the day of each opening (invalid: no day asked for)
    QStringList said;

    TrayServices services() {
        TrayServices s;
        s.store = store.get();
        s.notifier = &notifier;
        s.clock = [this] { return now; };
        s.zone = plusTen();
        s.openMoonbite = [this](const QDate& day) {
            ++opened;
            openedAt.push_back(day);
        };
        s.say = [this](const QString& line) { said << line; };
        return s;
    }
    /// The state file's [Settings] as text, to show what Moonbite owns is untouched.
    [[nodiscard]] QStringList moonbiteSettings() const {
        QStringList out;
        for (const char* key : {"currentloc", "latdeg", "latmin", "NorS", "londeg", "lonmin",
                                "WorE", "gmt", "custom", "daylight", "runalarm", "daytype",
                                "daysinadvance", "showmoon", "showfish", "moonorth"}) {
            out << QString::fromLatin1(key) + QLatin1Char('=') +
                       store->get(kStateApp, QStringLiteral("Settings"), QString::fromLatin1(key),
                                  QStringLiteral("<absent>"));
        }
        return out;
    }
};

}  // namespace moonbite::test
