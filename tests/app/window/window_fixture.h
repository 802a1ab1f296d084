// A main window on a temporary settings folder, recorded message boxes, a
// fixed clock and a computer at GMT+10 without daylight time.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>

#include "calendar_print.h"
#include "cli_app.h"
#include "journal_window.h"
#include "main_window.h"
#include "message_boxes.h"
#include "settings_store.h"
#include "system_time_zone.h"

namespace moonbite::testing {

inline TimeZoneInfo sydneyComputer() {
    TimeZoneInfo info;
    info.status = 1;
    info.biasMinutes = -600;
    info.standardName = QStringLiteral("AUS Eastern Standard Time");
    info.daylightName = QStringLiteral("AUS Eastern Daylight Time");
    info.daylightBias = -60;
    return info;
}

/// The installed harmonics file (Debian's xtide-data), read once per test program.
inline std::shared_ptr<const tides::TideDatabase> installedTides() {
    static const std::shared_ptr<const tides::TideDatabase> db = [] {
        tides::LoadResult r = tides::loadTideDatabase(tides::defaultHarmonicsPath());
        if (!r.database) ADD_FAILURE() << "the tests need xtide-data: " << r.error;
        return r.database ? std::make_shared<const tides::TideDatabase>(std::move(*r.database))
                          : nullptr;
    }();
    return db;
}

class WindowTest : public ::testing::Test {
  protected:
    QTemporaryDir folder;
    std::unique_ptr<SettingsStore> store;
    RecordingMessageBoxes boxes;
    FixedTimeZoneSource zone{sydneyComputer()};
    QDate today{2000, 1, 21};
    QColor nextColour;  // what the colour dialog answers (invalid: cancelled)
    int regionalOpened = 0;
    std::vector<int> helpTopics;
    /// The tide stations the window reads; a source without a file: none.
    std::shared_ptr<tides::TideSource> tideSource =
        std::make_shared<tides::TideSource>(installedTides());
    /// The time now for the tide's state; unset: the computer's clock.
    std::optional<tides::UnixSeconds> now;
    std::unique_ptr<Form1> window;

    void SetUp() override { store = std::make_unique<SettingsStore>(folder.path()); }
    void TearDown() override { window.reset(); }

    /// The current location as Apply would have saved it.
    void storeSydney() {
        const QString state = kStateApp;
        const QString s = QStringLiteral("Settings");
        store->save(state, s, QStringLiteral("currentloc"), QStringLiteral("Sydney"));
        store->save(state, s, QStringLiteral("latdeg"), QStringLiteral("33"));
        store->save(state, s, QStringLiteral("latmin"), QStringLiteral("52"));
        store->save(state, s, QStringLiteral("NorS"), QStringLiteral("S"));
        store->save(state, s, QStringLiteral("londeg"), QStringLiteral("151"));
        store->save(state, s, QStringLiteral("lonmin"), QStringLiteral("13"));
        store->save(state, s, QStringLiteral("WorE"), QStringLiteral("E"));
        store->save(state, s, QStringLiteral("gmt"), QStringLiteral("10"));
    }

    MainWindowServices services() {
        MainWindowServices sv;
        sv.store = store.get();
        sv.boxes = &boxes;
        sv.timeZone = &zone;
        sv.today = [this] { return today; };
        sv.openRegionalSettings = [this] { ++regionalOpened; };
        sv.openHelp = [this](int topic) { helpTopics.push_back(topic); };
        sv.chooseColour = [this](const QColor&, QWidget*) { return nextColour; };
        sv.journalFolder = folder.filePath(QStringLiteral("journal"));
        // Missing unless a test writes it (writePlaces).
        sv.placesTable = folder.filePath(QStringLiteral("places.tsv"));
        sv.tides = tideSource;
        if (now) sv.now = [this] { return *now; };
        return sv;
    }

    /// A key of the current location's copy in "Moonbite State", "<absent>" when unset.
    QString stored(const char* key) {
        return store->get(kStateApp, QStringLiteral("Settings"), QString::fromLatin1(key),
                          QStringLiteral("<absent>"));
    }
    /// A key of a saved location's own section, "<absent>" when unset.
    QString storedFor(const QString& place, const char* key) {
        return store->get(kTitleApp, locationSection(place), QString::fromLatin1(key),
                          QStringLiteral("<absent>"));
    }

    /// Writes the table of towns the window searches.
    void writePlaces(const QByteArray& table) {
        QFile file(folder.filePath(QStringLiteral("places.tsv")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(table);
    }

    /// The journal's services on the window's values and this test's folder.
    JournalServices journalServices(Form1& w) {
        JournalServices js;
        js.state = &w.state();
        js.boxes = &boxes;
        js.folder = folder.filePath(QStringLiteral("journal"));
        js.today = [this] { return today; };
        return js;
    }

    /// The print window's services on the window's values.
    PrintServices printServices(Form1& w) {
        PrintServices ps;
        ps.store = store.get();
        ps.boxes = &boxes;
        ps.state = &w.state();
        ps.today = [this] { return today; };
        return ps;
    }

    /// Loads and shows the window (the first show activates it).
    Form1& open() {
        window = std::make_unique<Form1>(services());
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return *window;
    }

    /// Closes the window as the user would and opens a new one on the same store.
    Form1& reopen() {
        window->close();
        window.reset();
        return open();
    }
};

/// moonbite-cli day --json for a date at Sydney, as text fields.
struct CliDay {
    std::string sunrise, sunset, dayLength, moonrise, moonset, majorAbove, majorBelow, minorAbove,
        minorBelow, weekday;
    int age = 0, picture = 0, score = 0;
    long distance = 0;
};
CliDay cliDayAtSydney(const QDate& date);

/// The tool's sunrise, moonrise, first major and second minor period of a
/// date in a fixed zone ("10", "-4", "9.5"), as shownDayTimes gives them.
std::string toolDayTimes(const char* lat, const char* lon, const char* zone, const QDate& date);
/// The same four texts from the window's boxes.
std::string shownDayTimes(const Form1& w);
/// The date the window's date boxes show.
inline QDate shownDate(const Form1& w) {
    return QDate(w.Text10->text().toInt(), w.Combo1->currentIndex() + 1, w.Text1->text().toInt());
}
/// Moves the window to a date through its date boxes and day spinner.
void goToDate(Form1& w, const QDate& d);

}  // namespace moonbite::testing
