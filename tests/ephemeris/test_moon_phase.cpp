// Moon age, phase picture and fishing prediction.
#include <gtest/gtest.h>

#include "sydney.h"

namespace moonbite {
namespace {

using testing::ymd;

// Greenwich, zone 0: the table's 2000 events are the new moon of 6 January
// 18:12 and the full moon of 21 January 04:40.
SolunarState atGreenwich(Date d) {
    SolunarState s;
    s.timeZoneEntered = "0";
    s.timeZoneForComputations = "0";
    s.computationDate = d;
    return s;
}

TEST(Calcmoon, NewMoonDay) {
    SolunarState s = atGreenwich(ymd(2000, 1, 6));
    calcmoon(s);
    EXPECT_EQ(s.daysToNewMoon, 0);
    EXPECT_EQ(s.moonPicture, 100);
    EXPECT_EQ(s.moonAge, 0);
    EXPECT_EQ(s.predictionScore, 66);
    EXPECT_EQ(s.predictionWord, "Good");
    EXPECT_EQ(s.predictionColour, "65280");
    EXPECT_TRUE(s.Label14.visible);
    EXPECT_EQ(s.Label14.caption, "New Moon");
    EXPECT_TRUE(s.Label18.visible);
    EXPECT_EQ(s.Label18.caption, "06:12 PM");
}

TEST(Calcmoon, FullMoonDay) {
    SolunarState s = atGreenwich(ymd(2000, 1, 21));
    calcmoon(s);
    EXPECT_EQ(s.daysToFullMoon, 0);
    EXPECT_EQ(s.moonPicture, 106);
    EXPECT_EQ(s.moonAge, 15);
    EXPECT_EQ(s.predictionScore, 100);
    EXPECT_EQ(s.predictionWord, "Excellent");
    EXPECT_EQ(s.predictionColour, "12582912");
    EXPECT_EQ(s.Label14.caption, "Full Moon");
    EXPECT_EQ(s.Label18.caption, "04:40 AM");
}

TEST(Calcmoon, FullMoonCaptionGoesToTheJournalOnRequest) {
    SolunarState s = atGreenwich(ymd(2000, 1, 21));
    s.Label14.caption = "untouched";
    s.journalRequest = true;
    calcmoon(s);
    EXPECT_FALSE(s.journalRequest);  // consumed
    EXPECT_TRUE(s.Form3Label14.visible);
    EXPECT_EQ(s.Form3Label14.caption, "Full Moon 04:40 AM");
    EXPECT_EQ(s.Label14.caption, "untouched");

    s.computationDate = ymd(2000, 1, 6);
    s.journalRequest = true;
    calcmoon(s);
    EXPECT_EQ(s.Form3Label14.caption, "New Moon 06:12 PM");

    s.computationDate = ymd(2000, 1, 10);
    s.journalRequest = true;
    calcmoon(s);
    EXPECT_FALSE(s.Form3Label14.visible);
}

TEST(Calcmoon, TwoDaysAfterNewMoonInBothPictureSets) {
    SolunarState s = atGreenwich(ymd(2000, 1, 8));
    s.reverseMoonImage = true;
    calcmoon(s);
    EXPECT_EQ(s.daysToNewMoon, -2);
    EXPECT_EQ(s.moonPicture, 101);
    EXPECT_EQ(s.moonAge, 2);
    EXPECT_EQ(s.predictionWord, "Excellent");
    EXPECT_FALSE(s.Label14.visible);
    EXPECT_FALSE(s.Label18.visible);
    s.reverseMoonImage = false;
    calcmoon(s);
    EXPECT_EQ(s.moonPicture, 111);
}

TEST(Calcmoon, FiveDaysAfterFullMoonIsPoor) {
    SolunarState s = atGreenwich(ymd(2000, 1, 26));
    calcmoon(s);
    EXPECT_EQ(s.daysToFullMoon, -5);
    EXPECT_EQ(s.predictionScore, 0);
    EXPECT_EQ(s.predictionWord, "Poor");
    EXPECT_EQ(s.predictionColour, "16777215");
    EXPECT_EQ(s.moonAge, 20);  // days since the new moon of 6 January
    EXPECT_EQ(s.moonPicture, 108);
}

TEST(Calcmoon, GraphModeLeavesTheLabels) {
    SolunarState s = atGreenwich(ymd(2000, 1, 21));
    calcmoon(s);
    s.graphInProgress = false;
    s.computationDate = ymd(2000, 1, 26);
    calcmoon(s);
    EXPECT_EQ(s.predictionScore, 0);  // outputs change
    EXPECT_TRUE(s.Label14.visible);   // labels keep the full moon
    EXPECT_EQ(s.Label14.caption, "Full Moon");
}

TEST(Calcmoon, EarlyJanuaryUsesTheTableOfTheYearBefore) {
    // 3 January 2000: the 2000 table starts with the new moon of 7 December
    // 1999 but the search needs the full moon of 22 December; with the table
    // of 2000 built first the age is still the true 27 days.
    SolunarState s = atGreenwich(ymd(2000, 6, 1));
    calcmoontime(s);
    s.computationDate = ymd(2000, 1, 3);
    calcmoon(s);
    EXPECT_EQ(s.moonAge, 27);
    EXPECT_EQ(s.daysToNewMoon, 3);
    EXPECT_EQ(s.phaseTableYear, 1999);
}

TEST(Calcmoon, RightTableIsNotRebuilt) {
    SolunarState s = atGreenwich(ymd(2000, 6, 1));
    calcmoontime(s);
    s.monthNameText = "marker";  // calcmoontime would overwrite it
    s.computationDate = ymd(2000, 9, 15);
    calcmoon(s);
    EXPECT_EQ(s.monthNameText, "marker");
    EXPECT_EQ(s.phaseTableYear, 2000);
}

TEST(Calcmoon, ATableForAnotherZoneIsRebuilt) {
    SolunarState s = atGreenwich(ymd(2000, 1, 21));
    calcmoon(s);
    s.timeZoneEntered = "10";
    calcmoon(s);
    EXPECT_EQ(s.Label18.caption, "02:40 PM");
}

TEST(Calcmoon, StartOf1901HasItsTrueAge) {
    // The zero date lies 367 days before 1 January 1901, so the unwritten
    // entries must be recognised by their index, not by their distance.
    // Almanac: full moon 1901 January 5, new moon 1900 December 21.
    SolunarState s = atGreenwich(ymd(1901, 1, 1));
    calcmoon(s);
    EXPECT_EQ(s.moonAge, 11);
    EXPECT_EQ(s.daysToFullMoon, 4);
    s.computationDate = ymd(1901, 1, 5);
    calcmoon(s);
    EXPECT_EQ(s.daysToFullMoon, 0);
}

TEST(Calcmoon, AgeAgreesWithTheTableEveryDay) {
    // For every date the age is the distance to the last new moon in a table
    // built for that date's year, from 1901 to 2200.
    SolunarState s = atGreenwich(ymd(1901, 1, 1));
    SolunarState table = s;
    for (Date d = ymd(1901, 1, 1); d <= ymd(2200, 12, 31); d = d + 1) {
        s.computationDate = d;
        calcmoon(s);
        ASSERT_GE(s.moonAge, 0) << d.serial();
        ASSERT_LE(s.moonAge, 30) << d.serial();
        ASSERT_TRUE(s.predictionScore == 0 || s.predictionScore == 33 || s.predictionScore == 66 ||
                    s.predictionScore == 100);
        ASSERT_GE(s.moonPicture, 100);
        ASSERT_LE(s.moonPicture, 111);
        if (d.day() == 15) {  // spot check against the table
            const int year = d.month() == 1 ? d.year() - 1 : d.year();
            table.computationDate = ymd(year, 6, 1);
            calcmoontime(table);
            int last = -1000;
            for (std::size_t i = 0; i < kPhaseTableSize; i += 2) {
                if (table.phases.newMoonDate[i] <= d) last = d - table.phases.newMoonDate[i];
            }
            ASSERT_EQ(s.moonAge, last) << d.year() << "-" << d.month();
        }
    }
}

TEST(PredictionRating, WordsAndColours) {
    EXPECT_EQ(predictionRating(0).word, "Poor");
    EXPECT_EQ(predictionRating(0).colour, 0xFFFFFF);
    EXPECT_EQ(predictionRating(33).colour, 0x80FFFF);
    EXPECT_EQ(predictionRating(66).colour, 0x00FF00);
    EXPECT_EQ(predictionRating(100).colour, 0xC00000);
    EXPECT_EQ(predictionRating(50).word, "");
}

}  // namespace
}  // namespace moonbite
