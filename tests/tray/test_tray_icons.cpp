// The tray icons: what they show against moonbite-cli's values for the same
// day, how they follow the settings files, and their menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include "wait_until.h"
#include "tray_day.h"
#include "tray_icons.h"
#include "tray_test_support.h"

namespace moonbite {
namespace {

using test::TrayFixture;

/// moonbite-cli's output as JSON; the test fails when the tool does.
QJsonObject cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(MOONBITE_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

/// The first new or full moon on or after the day, from the CLI's tables.
QJsonObject nextPhase(QDate day) {
    for (int year : {day.year(), day.year() + 1}) {
        const QJsonObject table =
            cli({QStringLiteral("phases"), QStringLiteral("--year"), QString::number(year),
                 QStringLiteral("--tz"), QStringLiteral("10"), QStringLiteral("--json")});
        for (const QJsonValue& e : table.value(QStringLiteral("entries")).toArray()) {
            const QDate d = QDate::fromString(e[QStringLiteral("date")].toString(), Qt::ISODate);
            if (d >= day) return e.toObject();
        }
    }
    return {};
}

// Each day names why it is here.
struct CliDay {
    const char* name;
    QDate date;
};
const CliDay kCliDays[] = {
    {"full moon day", QDate(2000, 1, 21)},
    {"new moon day", QDate(2000, 2, 5)},
    {"no moonrise", QDate(2000, 1, 29)},
    {"no moonset", QDate(2000, 2, 14)},
    {"January: the table starts the year before", QDate(2001, 1, 3)},
    {"next new moon in the following year", QDate(2000, 12, 20)},
    {"southern winter", QDate(2027, 6, 30)},
};

TEST(TrayValues, AgreeWithTheCommandLineTool) {
    TrayFixture f;
    test::storeSydney(*f.store);
    const DayComputer computer(*f.store, test::plusTen());
    for (const CliDay& c : kCliDays) {
        SCOPED_TRACE(c.name);
        const TrayDay day = computer.compute(c.date);
        const QJsonObject j =
            cli({QStringLiteral("day"), QStringLiteral("--settings-dir"), f.dir.path(),
                 QStringLiteral("--date"), c.date.toString(Qt::ISODate),
                 QStringLiteral("--graph-days"), QStringLiteral("7"), QStringLiteral("--json")});
        ASSERT_FALSE(j.isEmpty());
        EXPECT_EQ(day.moonrise, j[QStringLiteral("moonrise")].toString());
        EXPECT_EQ(day.moonset, j[QStringLiteral("moonset")].toString());
        EXPECT_EQ(day.majorAbove, j[QStringLiteral("major_moon_above")].toString());
        EXPECT_EQ(day.majorBelow, j[QStringLiteral("major_moon_below")].toString());
        EXPECT_EQ(day.minorAbove, j[QStringLiteral("minor_moon_above")].toString());
        EXPECT_EQ(day.minorBelow, j[QStringLiteral("minor_moon_below")].toString());
        EXPECT_EQ(day.age, j[QStringLiteral("moon_age")].toInt());
        EXPECT_EQ(day.picture, j[QStringLiteral("phase_picture")].toInt());
        EXPECT_EQ(day.score, j[QStringLiteral("prediction_score")].toInt());
        EXPECT_EQ(day.rating, j[QStringLiteral("prediction_word")].toString());
        const QJsonArray graph = j[QStringLiteral("graph")].toArray();
        ASSERT_EQ(day.week.size(), graph.size());
        for (qsizetype i = 0; i < graph.size(); ++i) {
            EXPECT_EQ(day.week[i].date, c.date.addDays(i));
            EXPECT_EQ(day.week[i].score, graph[i].toArray()[1].toInt()) << "day " << i;
        }
        if (!j[QStringLiteral("phase_event")].toString().isEmpty()) {
            EXPECT_EQ(day.phase, j[QStringLiteral("phase_event")].toString());
        }

        const QJsonObject next = nextPhase(c.date);
        ASSERT_FALSE(next.isEmpty());
        EXPECT_EQ(day.nextPhaseDate,
                  QDate::fromString(next[QStringLiteral("date")].toString(), Qt::ISODate));
        EXPECT_EQ(day.nextPhase, next[QStringLiteral("kind")].toString() == QLatin1String("full")
                                     ? QStringLiteral("Full Moon")
                                     : QStringLiteral("New Moon"));
        EXPECT_EQ(day.nextPhaseTime, next[QStringLiteral("time")].toString());

        // The tips carry the same texts.
        const QString moonTip = moonToolTip(day);
        // A time follows its word; a day without the event says so once.
        auto expectEvent = [&](const QString& word, const QString& text) {
            const bool time = text.contains(QLatin1Char(':'));
            EXPECT_TRUE(moonTip.contains(time ? word + text : text)) << moonTip.toStdString();
            EXPECT_FALSE(moonTip.contains(word + QStringLiteral("No"))) << moonTip.toStdString();
        };
        expectEvent(QStringLiteral("Moonrise "), day.moonrise);
        expectEvent(QStringLiteral("moonset "), day.moonset);
        EXPECT_TRUE(moonTip.contains(day.age == 1 ? QStringLiteral("1 day old")
                                                  : QStringLiteral("%1 days old").arg(day.age)))
            << moonTip.toStdString();
        EXPECT_TRUE(moonTip.contains(day.nextPhaseTime)) << moonTip.toStdString();
        const QString fishTip = fishToolTip(day);
        EXPECT_TRUE(fishTip.contains(day.rating)) << fishTip.toStdString();
        for (const QString& t : {day.majorAbove, day.majorBelow, day.minorAbove, day.minorBelow})
            EXPECT_TRUE(fishTip.contains(t)) << fishTip.toStdString();
    }
}

TEST(TrayValues, AgeAndMissingEventsReadAsEnglish) {
    TrayDay day;
    day.phase = QStringLiteral("Waxing Crescent");
    day.age = 1;
    day.moonrise = QStringLiteral("07:13 AM");
    day.moonset = QStringLiteral("No moonset");
    const QString tip = moonToolTip(day);
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Waxing Crescent, 1 day old\n")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("\nMoonrise 07:13 AM, No moonset\n")))
        << tip.toStdString();
    day.moonrise = day.moonset = QStringLiteral("Stays Up");
    day.age = 2;
    const QString up = moonToolTip(day);
    EXPECT_TRUE(up.contains(QStringLiteral(", 2 days old\nStays Up\n"))) << up.toStdString();
}

TEST(TrayValues, TipsReadAsTheUserSeesThem) {
    TrayFixture f;
    test::storeSydney(*f.store);
    const TrayDay day = DayComputer(*f.store, test::plusTen()).compute(QDate(2000, 1, 21));
    // Times from the README's and the help's Sydney example of that day.
    EXPECT_EQ(moonToolTip(day),
              QStringLiteral("Full Moon, 14 days old\nMoonrise 07:13 PM, moonset 04:43 AM\n"
                             "Full Moon today, 02:40 PM"));
    EXPECT_EQ(fishToolTip(day),
              QStringLiteral("Fishing today: Excellent\n"
                             "Major: 11:32 PM (Moon above), 10:58 AM (Moon below)\n"
                             "Minor: 03:43 AM (Moon above), 06:13 PM (Moon below)"));
    EXPECT_EQ(notificationTitle(day),
              QStringLiteral("Excellent fishing on Friday 21 January 2000"));
}

// Both picture sets number the waxing and waning pictures the other way
// round; the phase named must not depend on the set.
TEST(TrayValues, PhaseNamesDoNotDependOnThePictureSet) {
    TrayFixture f;
    test::storeSydney(*f.store);
    for (int i = 0; i < 30; ++i) {
        const QDate d = QDate(2000, 2, 1).addDays(i);
        test::setOption(*f.store, "moonorth", QStringLiteral("True"));
        const TrayDay a = DayComputer(*f.store, test::plusTen()).compute(d);
        test::setOption(*f.store, "moonorth", QStringLiteral("False"));
        const TrayDay b = DayComputer(*f.store, test::plusTen()).compute(d);
        EXPECT_EQ(a.phase, b.phase) << d.toString(Qt::ISODate).toStdString();
        EXPECT_FALSE(a.phase.isEmpty());
    }
    // The quarters and the days either side of new and full moon.
    EXPECT_EQ(phaseName(103, true, -7, 8), QStringLiteral("First Quarter"));
    EXPECT_EQ(phaseName(109, false, -7, 8), QStringLiteral("First Quarter"));
    EXPECT_EQ(phaseName(109, true, 7, -8), QStringLiteral("Last Quarter"));
    EXPECT_EQ(phaseName(100, true, -1, 14), QStringLiteral("Waxing Crescent"));
    EXPECT_EQ(phaseName(100, true, 1, -14), QStringLiteral("Waning Crescent"));
    EXPECT_EQ(phaseName(106, true, -13, 1), QStringLiteral("Waxing Gibbous"));
    EXPECT_EQ(phaseName(106, false, 13, -1), QStringLiteral("Waning Gibbous"));
}

TEST(TrayPictures, TheFishStandsOnThePredictionColour) {
    for (int score : {0, 33, 66, 100}) {
        const QColor colour = ratingColour(score);
        const QImage img = fishTrayPixmap(colour, 32).toImage();
        ASSERT_EQ(img.size(), QSize(32, 32));
        // Just inside the rim, beside the fish: the prediction colour.
        EXPECT_EQ(img.pixelColor(3, 16).rgb(), colour.rgb()) << score;
        // The rim is dark, so a white (Poor) box shows on a light panel.
        EXPECT_LT(img.pixelColor(0, 16).lightness(), 90) << score;
        // The fish covers part of the box in colours of its own.
        int fish = 0;
        for (int y = 4; y < 28; ++y)
            for (int x = 4; x < 28; ++x)
                fish += img.pixelColor(x, y).rgb() != colour.rgb();
        EXPECT_GT(fish, 60) << score;
    }
    EXPECT_EQ(ratingColour(100), QColor(0, 0, 0xC0));
    EXPECT_EQ(ratingColour(33), QColor(0xFF, 0xFF, 0x80));
}

// ---------------------------------------------------------------------------
// Following the settings

class TrayIcons : public ::testing::Test {
  protected:
    void SetUp() override {
        test::storeSydney(*f.store);
        f.now = QDateTime(QDate(2000, 1, 21), QTime(9, 0), test::plusTen());
    }
    /// Moonbite writing a key: its own store on the same folder.
    void moonbiteWrites(const char* key, const QString& value) {
        SettingsStore moonbite(f.dir.path());
        test::setOption(moonbite, key, value);
    }
    TrayFixture f;
};

TEST_F(TrayIcons, ShowTodaysMoonAndPrediction) {
    TrayController tray(f.services(), true);
    tray.refresh();
    ASSERT_NE(tray.moonIcon(), nullptr);
    ASSERT_NE(tray.fishIcon(), nullptr);
    EXPECT_TRUE(tray.moonIcon()->toolTip().startsWith(QStringLiteral("Full Moon, 14 days old")));
    EXPECT_TRUE(tray.fishIcon()->toolTip().startsWith(QStringLiteral("Fishing today: Excellent")));
    EXPECT_FALSE(tray.moonIcon()->icon().isNull());
    EXPECT_TRUE(tray.moonIcon()->isVisible());
    // The offscreen platform has no tray: said once, however often it refreshes.
    tray.refresh();
    EXPECT_EQ(f.said.size(), 1);
    EXPECT_TRUE(f.said.value(0).contains(QStringLiteral("icons cannot be shown")));
}

TEST_F(TrayIcons, FollowTheSettingsFilesWithoutARestart) {
    TrayController tray(f.services(), true);
    QSignalSpy refreshed(&tray, &TrayController::refreshed);
    tray.refresh();
    ASSERT_NE(tray.moonIcon(), nullptr);

    moonbiteWrites("showmoon", QStringLiteral("0"));
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.moonIcon() == nullptr; }, 10000));
    EXPECT_NE(tray.fishIcon(), nullptr);

    // The store replaces the file by rename; the next change is still seen.
    moonbiteWrites("showfish", QStringLiteral("0"));
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.fishIcon() == nullptr; }, 10000));
    EXPECT_TRUE(tray.menu()->actions().size() > 0);

    moonbiteWrites("showmoon", QStringLiteral("1"));
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.moonIcon() != nullptr; }, 10000));

    // Another place: the tips change with it (70 N has no moonrise that day).
    const QString sydney = tray.moonIcon()->toolTip();
    {
        SettingsStore moonbite(f.dir.path());
        test::setOption(moonbite, "latdeg", QStringLiteral("70"));
        test::setOption(moonbite, "NorS", QStringLiteral("N"));
    }
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.moonIcon() && tray.moonIcon()->toolTip() != sydney; }, 10000));
    EXPECT_GE(refreshed.count(), 4);
}

TEST_F(TrayIcons, ThePictureSetFollowsTheReverseMoonImageOption) {
    f.now = QDateTime(QDate(2000, 2, 7), QTime(9, 0), test::plusTen());  // two days after new moon
    TrayController tray(f.services(), true);
    tray.refresh();
    ASSERT_TRUE(tray.shownDay().has_value());
    EXPECT_EQ(tray.shownDay()->picture, 101);
    moonbiteWrites("moonorth", QStringLiteral("False"));
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.shownDay()->picture == 111; }, 10000));
}

TEST_F(TrayIcons, NothingShowsWithEveryOptionOffOrWithoutALocation) {
    test::setOption(*f.store, "showmoon", QStringLiteral("0"));
    test::setOption(*f.store, "showfish", QStringLiteral("0"));
    test::setOption(*f.store, "runalarm", QStringLiteral("False"));
    TrayController tray(f.services(), true);
    tray.refresh();
    EXPECT_EQ(tray.moonIcon(), nullptr);
    EXPECT_EQ(tray.fishIcon(), nullptr);
    EXPECT_TRUE(f.notifier.sent.empty());
    EXPECT_TRUE(f.said.isEmpty());  // nothing asked for, nothing to complain about

    moonbiteWrites("showfish", QStringLiteral("1"));
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.fishIcon() != nullptr; }, 10000));
    moonbiteWrites("currentloc", QString());
    ASSERT_TRUE(moonbite::testing::waitUntil([&] { return tray.fishIcon() == nullptr; }, 10000));
}

TEST_F(TrayIcons, MenuOpensMoonbiteListsTheWeekAndQuits) {
    TrayController tray(f.services(), true);
    tray.refresh();
    QMenu* menu = tray.menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(tray.moonIcon()->contextMenu(), menu);
    EXPECT_EQ(tray.fishIcon()->contextMenu(), menu);

    auto* open = menu->findChild<QAction*>(QStringLiteral("openMoonbite"));
    ASSERT_NE(open, nullptr);
    open->trigger();
    EXPECT_EQ(f.opened, 1);
    emit tray.moonIcon()->activated(QSystemTrayIcon::Trigger);
    emit tray.fishIcon()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(f.opened, 3);
    emit tray.fishIcon()->activated(QSystemTrayIcon::Context);  // the menu, not Moonbite
    EXPECT_EQ(f.opened, 3);

    // 21..27 January 2000 at Sydney: Excellent, Fair, Fair, then Poor (the CLI's graph).
    const char* words[] = {"Excellent", "Fair", "Fair", "Poor", "Poor", "Poor", "Poor"};
    for (int i = 0; i < 7; ++i) {
        const QDate d = QDate(2000, 1, 21).addDays(i);
        auto* a = menu->findChild<QAction*>(QStringLiteral("day") + d.toString(Qt::ISODate));
        ASSERT_NE(a, nullptr) << i;
        EXPECT_TRUE(a->text().endsWith(QString::fromLatin1(words[i]))) << a->text().toStdString();
        EXPECT_TRUE(a->text().startsWith(shortDate(d)));
        EXPECT_TRUE(a->isEnabled()) << "a greyed-out week is hard to read";
    }
    menu->findChild<QAction*>(QStringLiteral("day2000-01-22"))->trigger();
    EXPECT_EQ(f.opened, 4) << "a day of the week opens Moonbite";
    EXPECT_EQ(f.openedAt.back(), QDate(2000, 1, 22)) << "at that day";
    EXPECT_FALSE(f.openedAt.front().isValid()) << "Open Moonbite asks for no day";
    QSignalSpy quit(&tray, &TrayController::quitRequested);
    auto* q = menu->findChild<QAction*>(QStringLiteral("quit"));
    ASSERT_NE(q, nullptr);
    q->trigger();
    EXPECT_EQ(quit.count(), 1);
}

}  // namespace
}  // namespace moonbite
