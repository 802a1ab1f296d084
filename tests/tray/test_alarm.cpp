// The fish alarm: which days it warns of, how far ahead, and that each day
// is announced once, across restarts and midnight.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <array>
#include <chrono>
#include <string_view>

#include "tray_test_support.h"

namespace moonbite {
namespace {

using test::TrayFixture;

// The warning rule for every day type and score, as the settings frame words
// the day types: "Excellent Days", "Good & Excellent Days", "Fair To
// Excellent Days", "All Days".
TEST(AlarmRule, EachDayTypeWarnsOfItsScores) {
    struct Row {
        int dayType, score;
        bool warns;
    };
    const Row rows[] = {
        {0, 0, false}, {0, 33, false}, {0, 66, false}, {0, 100, true},
        {1, 0, false}, {1, 33, false}, {1, 66, true},  {1, 100, true},
        {2, 0, false}, {2, 33, true},  {2, 66, true},  {2, 100, true},
        {3, 0, true},  {3, 33, true},  {3, 66, true},  {3, 100, true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(meetsDayType(r.score, r.dayType), r.warns)
            << "day type " << r.dayType << ", score " << r.score;
    }
    // A day type written by hand outside the list warns of nothing.
    for (int score : {0, 33, 66, 100}) {
        EXPECT_FALSE(meetsDayType(score, 4));
        EXPECT_FALSE(meetsDayType(score, -1));
    }
}

// Sydney (+10 h) from Wednesday 2 February 2000, the new moon on the 5th:
// the scores of the ten days, as `moonbite-cli range --lat 33:52S --lon
// 151:13E --tz 10 --from 2000-02-02 --days 10` rates them (Fair, Fair, Fair,
// Good, Excellent, Excellent, Excellent, Good, Fair, Poor).
constexpr std::array<int, 10> kScoresFrom2Feb2000 = {33, 33, 33, 66, 100, 100, 100, 66, 33, 0};
// Which of those ten days each day type warns of.
constexpr std::array<std::string_view, 4> kWarns = {
    "0000111000",  // Excellent Days
    "0001111100",  // Good & Excellent Days
    "1111111110",  // Fair To Excellent Days
    "1111111111",  // All Days
};
const char* const kDayTypeNames[] = {"Excellent", "GoodAndExcellent", "FairToExcellent", "AllDays"};

class AlarmDay : public ::testing::TestWithParam<std::tuple<int, int>> {};

// The whole path: stored options, the day computed by the core, the rule, the
// notification and the memory.
TEST_P(AlarmDay, WarnsOfTheDayAheadWhenItMeetsTheDayType) {
    const auto [dayType, ahead] = GetParam();
    TrayFixture f;
    test::storeSydney(*f.store);
    test::setOption(*f.store, "runalarm", QStringLiteral("True"));
    test::setOption(*f.store, "daytype", QString::number(dayType));
    test::setOption(*f.store, "daysinadvance", QString::number(ahead));
    TrayController tray(f.services(), false);
    tray.refresh();

    const QDate day = QDate(2000, 2, 2).addDays(ahead);
    const int score = kScoresFrom2Feb2000[static_cast<std::size_t>(ahead)];
    const bool expected =
        kWarns[static_cast<std::size_t>(dayType)][static_cast<std::size_t>(ahead)] == '1';
    EXPECT_EQ(tray.lastAlarm().day, day);
    EXPECT_EQ(tray.lastAlarm().score, score);
    ASSERT_EQ(f.notifier.sent.size(), expected ? 1U : 0U);
    EXPECT_EQ(AnnouncedDays(*f.store).contains(day), expected);
    if (expected) {
        const char* words[] = {"Poor", "Fair", "Good", "Excellent"};
        const QString word = QString::fromLatin1(words[score == 0    ? 0
                                                       : score == 33 ? 1
                                                       : score == 66 ? 2
                                                                     : 3]);
        EXPECT_EQ(f.notifier.sent[0].title,
                  word + QStringLiteral(" fishing on ") +
                      QLocale::c().toString(day, QStringLiteral("dddd d MMMM yyyy")));
        EXPECT_TRUE(f.notifier.sent[0].body.startsWith(QStringLiteral("Major periods: ")));
    }
}

INSTANTIATE_TEST_SUITE_P(DayTypesAndLeads, AlarmDay,
                         ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 10)),
                         [](const ::testing::TestParamInfo<AlarmDay::ParamType>& info) {
                             return std::string(kDayTypeNames[std::get<0>(info.param)]) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "DaysAhead";
                         });

// ---------------------------------------------------------------------------
// Once per day

class AlarmMemory : public ::testing::Test {
  protected:
    void SetUp() override {
        test::storeSydney(*f.store);
        test::setOption(*f.store, "runalarm", QStringLiteral("True"));
        test::setOption(*f.store, "daytype", QStringLiteral("3"));  // every day
        test::setOption(*f.store, "daysinadvance", QStringLiteral("2"));
    }
    TrayFixture f;
};

TEST_F(AlarmMemory, ADayIsAnnouncedOnceAcrossRestarts) {
    {
        TrayController tray(f.services(), false);
        tray.refresh();
        tray.refresh();  // a settings change later the same day
    }
    ASSERT_EQ(f.notifier.sent.size(), 1U);
    // A new start of the program, with a new store on the same files.
    f.store = std::make_unique<SettingsStore>(f.dir.path());
    TrayController again(f.services(), false);
    again.refresh();
    EXPECT_EQ(f.notifier.sent.size(), 1U);
    EXPECT_TRUE(again.lastAlarm().alreadyAnnounced);
    EXPECT_EQ(AnnouncedDays(*f.store).days(), QList<QDate>{QDate(2000, 2, 4)});
}

TEST_F(AlarmMemory, AfterMidnightTheNextDayIsAnnounced) {
    TrayController tray(f.services(), false);
    tray.refresh();
    ASSERT_EQ(f.notifier.sent.size(), 1U);
    // The minute tick before midnight does nothing new.
    f.now = QDateTime(QDate(2000, 2, 2), QTime(23, 59), test::plusTen());
    tray.tick();
    EXPECT_EQ(f.notifier.sent.size(), 1U);
    f.now = QDateTime(QDate(2000, 2, 3), QTime(0, 0, 30), test::plusTen());
    tray.tick();
    ASSERT_EQ(f.notifier.sent.size(), 2U);
    EXPECT_TRUE(f.notifier.sent[1].title.endsWith(QStringLiteral("Saturday 5 February 2000")));
    tray.tick();
    EXPECT_EQ(f.notifier.sent.size(), 2U);
    // Days before today are forgotten; the ones still ahead are kept.
    EXPECT_EQ(AnnouncedDays(*f.store).days(), (QList<QDate>{QDate(2000, 2, 4), QDate(2000, 2, 5)}));
    f.now = QDateTime(QDate(2000, 2, 5), QTime(7, 0), test::plusTen());
    tray.tick();
    EXPECT_EQ(AnnouncedDays(*f.store).days(), (QList<QDate>{QDate(2000, 2, 5), QDate(2000, 2, 7)}));
}

TEST_F(AlarmMemory, TheClockIsReadInTheComputersZone) {
    // 20:00 UTC on 2 February is 06:00 on the 3rd in Sydney (+10).
    f.now = QDateTime(QDate(2000, 2, 2), QTime(20, 0), QTimeZone::utc());
    TrayController tray(f.services(), false);
    tray.refresh();
    EXPECT_EQ(tray.today(), QDate(2000, 2, 3));
    EXPECT_EQ(tray.lastAlarm().day, QDate(2000, 2, 5));
}

TEST_F(AlarmMemory, ANotificationThatFailedIsTriedAgainAndSaidOnce) {
    f.notifier.failWith = QStringLiteral("no notification service");
    TrayController tray(f.services(), false);
    tray.refresh();
    tray.refresh();
    EXPECT_TRUE(f.notifier.sent.empty());
    EXPECT_TRUE(tray.lastAlarm().due);
    EXPECT_FALSE(tray.lastAlarm().announced);
    EXPECT_FALSE(AnnouncedDays(*f.store).contains(QDate(2000, 2, 4)));
    const QStringList aboutAlarm = f.said.filter(QStringLiteral("could not raise the fish alarm"));
    ASSERT_EQ(aboutAlarm.size(), 1) << f.said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(aboutAlarm[0].contains(QStringLiteral("no notification service")));

    // The next minute's tick tries again: the desktop's service may start after us.
    f.notifier.failWith.clear();
    f.now = f.now.addSecs(60);
    tray.tick();
    EXPECT_EQ(f.notifier.sent.size(), 1U);
    EXPECT_TRUE(AnnouncedDays(*f.store).contains(QDate(2000, 2, 4)));
    tray.tick();
    EXPECT_EQ(f.notifier.sent.size(), 1U);
}

TEST_F(AlarmMemory, ASettingsLockThatCannotBeTakenIsSaidOnce) {
    const QString lock = f.store->filePath(kStateApp) + QStringLiteral(".lock");
    ASSERT_TRUE(QDir().mkpath(lock));
    f.store->setLockTimeout(std::chrono::milliseconds(100));
    TrayController tray(f.services(), false);
    tray.refresh();
    EXPECT_TRUE(tray.lastAlarm().announced);
    EXPECT_TRUE(f.store->readOnly());
    f.now = f.now.addDays(1);
    tray.tick();
    EXPECT_EQ(f.notifier.sent.size(), 2U);
    const QStringList aboutLock = f.said.filter(lock);
    EXPECT_EQ(aboutLock.size(), 1) << f.said.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(AnnouncedDays(*f.store).days().isEmpty());
}

TEST_F(AlarmMemory, MoonbitesOwnKeysAreNeverWritten) {
    const QStringList before = f.moonbiteSettings();
    TrayController tray(f.services(), true);
    tray.refresh();
    f.now = f.now.addDays(1);
    tray.tick();
    ASSERT_EQ(f.notifier.sent.size(), 2U);
    EXPECT_EQ(f.moonbiteSettings(), before);
    // Nothing in the title application's file either.
    EXPECT_FALSE(QFile::exists(f.store->filePath(kTitleApp)));
}

TEST_F(AlarmMemory, AnOptionOffOrNoLocationRaisesNothing) {
    {
        test::setOption(*f.store, "runalarm", QStringLiteral("False"));
        TrayController tray(f.services(), false);
        tray.refresh();
        EXPECT_FALSE(tray.lastAlarm().day.isValid());
    }
    {
        test::setOption(*f.store, "runalarm", QStringLiteral("True"));
        test::setOption(*f.store, "currentloc", QString());
        TrayController tray(f.services(), false);
        tray.refresh();
    }
    EXPECT_TRUE(f.notifier.sent.empty());
}

// The notification carries its day, so "Open Moonbite" shows that day.
TEST_F(AlarmMemory, TheNotificationOpensMoonbiteAtTheDayItTellsOf) {
    TrayController tray(f.services(), false);
    tray.refresh();
    ASSERT_EQ(f.notifier.sent.size(), 1U);
    EXPECT_EQ(f.notifier.sent[0].day, QDate(2000, 2, 4));
    ASSERT_TRUE(f.notifier.onOpen) << "the controller takes the notification's action";
    f.notifier.onOpen(f.notifier.sent[0].day);
    ASSERT_EQ(f.openedAt.size(), 1);
    EXPECT_EQ(f.openedAt[0], QDate(2000, 2, 4));
}

// Turning the alarm and both icons off in Moonbite ends the companion; any
// one of them on keeps it.
TEST_F(AlarmMemory, TheCompanionLeavesOnceEverythingIsOff) {
    test::setOption(*f.store, "showmoon", QStringLiteral("0"));
    test::setOption(*f.store, "showfish", QStringLiteral("0"));
    TrayController tray(f.services(), false);
    QSignalSpy quit(&tray, &TrayController::quitRequested);
    tray.refresh();
    EXPECT_EQ(quit.count(), 0) << "the alarm is still on";
    test::setOption(*f.store, "runalarm", QStringLiteral("False"));
    test::setOption(*f.store, "showfish", QStringLiteral("1"));
    tray.refresh();
    EXPECT_EQ(quit.count(), 0) << "the fish icon is still on";
    test::setOption(*f.store, "showfish", QStringLiteral("0"));
    tray.refresh();
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(AlarmMemory, ALeadOutOfRangeReadsAsTheDefaultTwoDays) {
    for (const char* text : {"abc", "-1", "400", "2.5"}) {
        test::setOption(*f.store, "daysinadvance", QString::fromLatin1(text));
        EXPECT_EQ(readTrayOptions(*f.store).daysInAdvance, 2) << text;
    }
    test::setOption(*f.store, "daysinadvance", QStringLiteral("30"));
    EXPECT_EQ(readTrayOptions(*f.store).daysInAdvance, 30);
}

}  // namespace
}  // namespace moonbite
