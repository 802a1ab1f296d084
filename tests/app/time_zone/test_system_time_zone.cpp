// The computer's time zone: the reading rules over a fixed source, and the
// description of real zones at chosen instants.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include "qstring_print.h"
#include "system_time_zone.h"

namespace moonbite {
namespace {

TimeZoneInfo gmtPlus10(int status) {
    TimeZoneInfo info;
    info.status = status;
    info.biasMinutes = -600;
    info.standardBias = 0;
    info.daylightBias = -60;
    info.standardName = "Eastern Standard Time";
    info.daylightName = "Eastern Daylight Time";
    return info;
}

TEST(ReadSystemTimeZone, StandardTimeGivesTheStandardOffsetAndName) {
    const FixedTimeZoneSource source(gmtPlus10(1));
    for (const bool adjust : {true, false}) {
        const SystemZone zone = ReadSystemTimeZone(source, adjust);
        EXPECT_EQ(zone.offsetMinutes, 600);
        EXPECT_DOUBLE_EQ(zone.offsetHours, 10.0);
        EXPECT_EQ(zone.name, "Eastern Standard Time");
    }
}

TEST(ReadSystemTimeZone, UnknownStatusCountsAsStandardTime) {
    TimeZoneInfo info = gmtPlus10(0);
    info.biasMinutes = 300;  // GMT-5
    info.standardBias = 0;
    const SystemZone zone = ReadSystemTimeZone(FixedTimeZoneSource(info), true);
    EXPECT_EQ(zone.offsetMinutes, -300);
    EXPECT_DOUBLE_EQ(zone.offsetHours, -5.0);
    EXPECT_EQ(zone.name, "Eastern Standard Time");
}

TEST(ReadSystemTimeZone, DaylightTimeFollowsTheAdjustBox) {
    const FixedTimeZoneSource source(gmtPlus10(2));
    const SystemZone adjusted = ReadSystemTimeZone(source, true);
    EXPECT_EQ(adjusted.offsetMinutes, 660);
    EXPECT_DOUBLE_EQ(adjusted.offsetHours, 11.0);
    EXPECT_EQ(adjusted.name, "Eastern Daylight Time");

    const SystemZone unadjusted = ReadSystemTimeZone(source, false);
    EXPECT_EQ(unadjusted.offsetMinutes, 600);
    EXPECT_DOUBLE_EQ(unadjusted.offsetHours, 10.0);
    EXPECT_EQ(unadjusted.name, "Eastern Standard Time");
}

TEST(ReadSystemTimeZone, BiasesAreAddedToTheMainBias) {
    TimeZoneInfo info = gmtPlus10(1);
    info.biasMinutes = -330;  // GMT+5:30
    info.standardBias = 15;
    info.daylightBias = -30;
    const FixedTimeZoneSource standard(info);
    EXPECT_EQ(ReadSystemTimeZone(standard, true).offsetMinutes, 315);
    EXPECT_DOUBLE_EQ(ReadSystemTimeZone(standard, true).offsetHours, 5.25);
    info.status = 2;
    const FixedTimeZoneSource daylight(info);
    EXPECT_EQ(ReadSystemTimeZone(daylight, true).offsetMinutes, 360);
    EXPECT_DOUBLE_EQ(ReadSystemTimeZone(daylight, true).offsetHours, 6.0);
}

TEST(ReadSystemTimeZone, AFailedQueryGivesZeroAndNoName) {
    for (const int status : {-1, 3, 99}) {
        SCOPED_TRACE(status);
        const FixedTimeZoneSource source(gmtPlus10(status));
        for (const bool adjust : {true, false}) {
            const SystemZone zone = ReadSystemTimeZone(source, adjust, "Computer: ");
            EXPECT_EQ(zone.offsetMinutes, 0);
            EXPECT_DOUBLE_EQ(zone.offsetHours, 0.0);
            EXPECT_EQ(zone.name, "Computer: ");
        }
    }
}

TEST(ReadSystemTimeZone, NamesStopAt32CharactersOrAZeroCharacter) {
    TimeZoneInfo info = gmtPlus10(1);
    info.standardName = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";  // 36 characters
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true).name,
              "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");

    info.standardName = QString("Pacific") + QChar(0) + QString("garbage");
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true).name, "Pacific");

    info.status = 2;
    info.daylightName = QChar(0) + QString("hidden");
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true).name, "");
    info.daylightName = QString(40, QChar('d'));
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true).name, QString(32, QChar('d')));
}

TEST(ReadSystemTimeZone, TheNameIsAppendedToTheAccumulator) {
    const FixedTimeZoneSource source(gmtPlus10(2));
    EXPECT_EQ(ReadSystemTimeZone(source, true, "Zone: ").name, "Zone: Eastern Daylight Time");
    EXPECT_EQ(ReadSystemTimeZone(source, false, "Zone: ").name, "Zone: Eastern Standard Time");
    // The 32-character limit is on the name, not on the whole text.
    TimeZoneInfo info = gmtPlus10(1);
    info.standardName = QString(33, QChar('s'));
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true, QString(40, QChar('a'))).name,
              QString(40, QChar('a')) + QString(32, QChar('s')));
}

// Real zones at fixed instants, from the system's zone database.
class DescribeTimeZone : public ::testing::Test {
  protected:
    static QTimeZone zone(const char* id) {
        QTimeZone tz(id);
        return tz;
    }
    static QDateTime utc(int year, int month, int day) {
        return QDateTime(QDate(year, month, day), QTime(12, 0), Qt::UTC);
    }
};

#define REQUIRE_ZONE(tz)                                             \
    if (!(tz).isValid()) GTEST_SKIP() << "zone database lacks " #tz; \
    static_assert(true)

TEST_F(DescribeTimeZone, SydneyInSummerAndWinter) {
    const QTimeZone sydney = zone("Australia/Sydney");
    REQUIRE_ZONE(sydney);
    const TimeZoneInfo summer = describeTimeZone(sydney, utc(2024, 1, 15));
    EXPECT_EQ(summer.status, 2);
    EXPECT_EQ(summer.biasMinutes, -600);
    EXPECT_EQ(summer.standardBias, 0);
    EXPECT_EQ(summer.daylightBias, -60);
    EXPECT_FALSE(summer.standardName.isEmpty());
    EXPECT_FALSE(summer.daylightName.isEmpty());

    const TimeZoneInfo winter = describeTimeZone(sydney, utc(2024, 7, 15));
    EXPECT_EQ(winter.status, 1);
    EXPECT_EQ(winter.biasMinutes, -600);
    EXPECT_EQ(winter.daylightBias, -60);

    const FixedTimeZoneSource source(summer);
    EXPECT_EQ(ReadSystemTimeZone(source, true).offsetMinutes, 660);
    EXPECT_EQ(ReadSystemTimeZone(source, false).offsetMinutes, 600);
    EXPECT_EQ(ReadSystemTimeZone(source, true).name, summer.daylightName.left(32));
}

TEST_F(DescribeTimeZone, NorthernZonesWithDaylightTime) {
    const QTimeZone stJohns = zone("America/St_Johns");
    REQUIRE_ZONE(stJohns);
    const TimeZoneInfo july = describeTimeZone(stJohns, utc(2024, 7, 1));
    EXPECT_EQ(july.status, 2);
    EXPECT_EQ(july.biasMinutes, 210);
    EXPECT_EQ(july.daylightBias, -60);
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(july), true).offsetMinutes, -150);
    const TimeZoneInfo january = describeTimeZone(stJohns, utc(2024, 1, 10));
    EXPECT_EQ(january.status, 1);
    EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(january), true).offsetMinutes, -210);
}

TEST_F(DescribeTimeZone, HalfHourDaylightShift) {
    const QTimeZone lordHowe = zone("Australia/Lord_Howe");
    REQUIRE_ZONE(lordHowe);
    const TimeZoneInfo summer = describeTimeZone(lordHowe, utc(2024, 1, 15));
    EXPECT_EQ(summer.status, 2);
    EXPECT_EQ(summer.biasMinutes, -630);
    EXPECT_EQ(summer.daylightBias, -30);
    EXPECT_DOUBLE_EQ(ReadSystemTimeZone(FixedTimeZoneSource(summer), true).offsetHours, 11.0);
}

TEST_F(DescribeTimeZone, ZonesWithoutDaylightTime) {
    const struct {
        const char* id;
        int bias;
    } cases[] = {
        {"UTC", 0},
        {"Asia/Tokyo", -540},  // kept daylight time only in the 1940s
        {"Asia/Kathmandu", -345},
        {"America/Sao_Paulo", 180},  // gave it up in 2019
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const QTimeZone tz = zone(c.id);
        if (!tz.isValid()) continue;
        const TimeZoneInfo info = describeTimeZone(tz, utc(2024, 1, 15));
        EXPECT_EQ(info.status, 0);
        EXPECT_EQ(info.biasMinutes, c.bias);
        EXPECT_EQ(info.daylightBias, 0);
        EXPECT_FALSE(info.standardName.isEmpty());
        EXPECT_EQ(ReadSystemTimeZone(FixedTimeZoneSource(info), true).offsetMinutes, -c.bias);
    }
}

TEST_F(DescribeTimeZone, AnInvalidZoneIsAFailure) {
    const TimeZoneInfo info = describeTimeZone(QTimeZone(), utc(2024, 1, 15));
    EXPECT_EQ(info.status, -1);
    const SystemZone zone = ReadSystemTimeZone(FixedTimeZoneSource(info), true, "x");
    EXPECT_EQ(zone.offsetMinutes, 0);
    EXPECT_EQ(zone.name, "x");
}

TEST(SystemTimeZoneSource, ReportsAPlausibleZone) {
    const TimeZoneInfo info = SystemTimeZoneSource().query();
    EXPECT_GE(info.status, -1);
    EXPECT_LE(info.status, 2);
    if (info.status == -1) return;
    for (const bool adjust : {true, false}) {
        const SystemZone zone = ReadSystemTimeZone(SystemTimeZoneSource(), adjust);
        EXPECT_GE(zone.offsetHours, -14.0);
        EXPECT_LE(zone.offsetHours, 14.0);
        EXPECT_DOUBLE_EQ(zone.offsetHours, zone.offsetMinutes / 60.0);
        EXPECT_FALSE(zone.name.isEmpty());
    }
    // The local clock agrees with what the reader reports for now.
    const int localOffset = QDateTime::currentDateTime().offsetFromUtc() / 60;
    EXPECT_EQ(ReadSystemTimeZone(SystemTimeZoneSource(), true).offsetMinutes, localOffset);
}

}  // namespace
}  // namespace moonbite
