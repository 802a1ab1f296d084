// The journal's Tide list filled from the prediction on a new entry: the tide
// at the trip time at Friday Harbor, the day's highs and lows in its tip, and
// the user's own choice (or an entry's file) always kept.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "current_place.h"
#include "journal_file.h"
#include "journal_window.h"
#include "message_boxes.h"
#include "place_tides.h"
#include "solunar_day.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace moonbite {
namespace {

const tides::TideDatabase& database() {
    static const tides::LoadResult r = tides::loadTideDatabase(tides::defaultHarmonicsPath());
    if (!r.database) std::abort();
    return *r.database;
}

const tides::TideStation& fridayHarbor() {
    for (const tides::TideStation& s : database().stations)
        if (s.id == "9449880" && s.reference) return s;  // Friday Harbor
    std::abort();
}

/// Seconds since 1970 of a UTC date and time.
tides::UnixSeconds utc(int y, int m, int d, int hour, int minute) {
    return (static_cast<tides::UnixSeconds>(Date::fromYmd(y, m, d)->serial()) - 25569) * 86400 +
           hour * 3600 + minute * 60;
}

/// The words the core gives for the tide at Friday Harbor at that instant.
QString tideAt(tides::UnixSeconds t) {
    return QString::fromStdString(tides::tideState(database(), fridayHarbor(), t));
}

class JournalTidesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        state.latitude = 48.5453;
        state.longitude = -123.0125;
        // The offset of the day the window opens; each trip date takes its own.
        state.timeZoneEntered = "-8";
        state.timeZoneForComputations = "8";
        state.zoneRule = &pacific;
    }

    JournalServices services(bool withTides = true) {
        JournalServices s;
        s.state = &state;
        s.boxes = &boxes;
        s.folder = dir.path();
        s.today = [] { return QDate(2026, 12, 7); };
        if (withTides) {
            s.tideStateOf = [this](const SolunarState& st, Date date, int minute) {
                ++asked;
                return tides::tideState(database(), fridayHarbor(),
                                        instantAtClock(st, date, minute) - kUnixEpochInstant);
            };
            s.dayTidesText = [](const SolunarState& st, Date date) {
                const tides::DayTides day = tides::dayTides(database(), fridayHarbor(), st, date);
                std::string text;
                for (std::size_t i = 0; i < day.events.size(); ++i) {
                    if (i > 0) text += ", ";
                    text += tides::eventText(day.events[i], day.minutes[i], st.designators);
                }
                return text;
            };
        }
        return s;
    }

    static void enterDate(Form3& w, const char* day, const char* month, const char* year) {
        w.Text1->setText(QString::fromLatin1(day));
        w.Text13->setText(QString::fromLatin1(month));
        w.Text14->setText(QString::fromLatin1(year));
        w.dateentered();
    }

    /// What a user types into the Tide list, replacing its text.
    static void typeTide(Form3& w, const QString& text) {
        QTest::keyClick(w.Combo2->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.Combo2->lineEdit(), text);
    }

    QTemporaryDir dir;
    const QtZoneRule pacific{QTimeZone(QByteArrayLiteral("America/Los_Angeles"))};
    SolunarState state;
    RecordingMessageBoxes boxes;
    int asked = 0;
};

TEST(JournalTripTime, ClockTimesAsTheyAreWritten) {
    const ClockDesignators en;
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6:30 AM"), en), 6 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("06:30"), en), 6 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("18:30"), en), 18 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6am"), en), 6 * 60);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6.30pm"), en), 18 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("  6:30 p.m."), en), 18 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("10:00am - 02:00pm"), en), 10 * 60);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("12am"), en), 0);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("12:15 PM"), en), 12 * 60 + 15);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("0:05"), en), 5);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6:30\u202FPM"), en), 18 * 60 + 30);

    ClockDesignators german;
    german.am = "vorm.";
    german.pm = "nachm.";
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6:30 nachm."), german), 18 * 60 + 30);
    EXPECT_EQ(tripTimeMinute(QStringLiteral("6:30 pm"), german), 18 * 60 + 30);

    for (const char* none : {"", "dawn", "6", "2026", "0630", "25:00", "13pm", "0am", "6:75", "6:3",
                             "6:30x", "6 amber", "early, then 6:30"}) {
        EXPECT_FALSE(tripTimeMinute(QString::fromLatin1(none), en)) << none;
    }
}

TEST_F(JournalTidesTest, ClockTimesBecomeTheirInstants) {
    auto unixAt = [this](int y, int m, int d, int minute) {
        return instantAtClock(state, *Date::fromYmd(y, m, d), minute) - kUnixEpochInstant;
    };
    EXPECT_EQ(unixAt(2026, 7, 15, 6 * 60 + 30), utc(2026, 7, 15, 13, 30));  // PDT
    EXPECT_EQ(unixAt(2026, 12, 7, 23 * 60), utc(2026, 12, 8, 7, 0));        // PST
    // 01:30 comes twice on 1 November 2026: the first, still PDT.
    EXPECT_EQ(unixAt(2026, 11, 1, 90), utc(2026, 11, 1, 8, 30));
    // 02:30 never shows on 8 March 2026: read with PST, it is 03:30 PDT.
    EXPECT_EQ(unixAt(2026, 3, 8, 150), utc(2026, 3, 8, 10, 30));
}

TEST_F(JournalTidesTest, ANewEntryIsOfferedTheTideAtItsTripTime) {
    const QString morning = tideAt(utc(2026, 7, 15, 13, 30));  // 6:30 AM PDT
    const QString evening = tideAt(utc(2026, 7, 16, 1, 30));   // 6:30 PM PDT
    const QString six = tideAt(utc(2026, 7, 15, 13, 0));       // 6:00 AM PDT
    ASSERT_FALSE(morning.isEmpty());
    ASSERT_FALSE(evening.isEmpty());
    ASSERT_NE(morning, evening);  // else the minute read would go unchecked

    Form3 w(services());
    ASSERT_TRUE(w.newEntryFlag());  // the blank page past the last entry
    enterDate(w, "15", "7", "2026");
    w.Text4->setText(QStringLiteral("6:30 AM"));
    EXPECT_EQ(w.Combo2->currentText(), morning);

    for (const char* text : {"18:30", "6.30pm", "6:30 PM - 9:00 PM"}) {
        w.Text4->setText(QString::fromLatin1(text));
        EXPECT_EQ(w.Combo2->currentText(), evening) << text;
    }
    w.Text4->setText(QStringLiteral("6am"));
    EXPECT_EQ(w.Combo2->currentText(), six);
    w.Text4->setText(QStringLiteral("06:30"));
    EXPECT_EQ(w.Combo2->currentText(), morning);

    // The tip holds each high and low of the day by the clock (the day runs
    // from 07:00 UTC, midnight PDT), then the list's own tip.
    const QString tip = w.Combo2->toolTip();
    const std::vector<tides::TideEvent> events = tides::tideEvents(
        database(), fridayHarbor(), utc(2026, 7, 15, 7, 0), utc(2026, 7, 16, 7, 0));
    ASSERT_GE(events.size(), 3u);
    for (const tides::TideEvent& e : events) {
        Text clock;
        formatClock(clock, static_cast<int>((e.time - utc(2026, 7, 15, 7, 0)) / 60),
                    ClockDesignators{});
        const QString said = QString::fromLatin1(e.high ? "High " : "Low ") +
                             QString::fromStdString(clock.str()) + QLatin1Char(' ');
        EXPECT_TRUE(tip.contains(said)) << said.toStdString() << " in " << tip.toStdString();
    }
    EXPECT_EQ(tip.count(QStringLiteral("High ")) + tip.count(QStringLiteral("Low ")),
              static_cast<qsizetype>(events.size()));
    EXPECT_TRUE(tip.endsWith(QStringLiteral("\nState of the tide"))) << tip.toStdString();

    // Another date: the tide of that date at the same time.
    enterDate(w, "16", "7", "2026");
    EXPECT_EQ(w.Combo2->currentText(), tideAt(utc(2026, 7, 16, 13, 30)));
    // The main window's offset is as it was.
    EXPECT_EQ(state.timeZoneEntered, "-8");
    EXPECT_EQ(state.timeZoneForComputations, "8");

    // Saved, the offered tide is the entry's.
    w.Command1->click();
    const JournalReadResult saved = readJournalEntry(dir.path(), 1);
    ASSERT_EQ(saved.status, JournalReadStatus::Ok) << saved.error.toStdString();
    EXPECT_EQ(saved.entry.tide, tideAt(utc(2026, 7, 16, 13, 30)));
    EXPECT_EQ(saved.entry.tripTime, QStringLiteral("06:30"));
}

TEST_F(JournalTidesTest, WhatTheUserTypesOrPicksWinsAndIsSaved) {
    Form3 w(services());
    enterDate(w, "15", "7", "2026");
    w.Text4->setText(QStringLiteral("6:30 AM"));
    ASSERT_EQ(w.Combo2->currentText(), tideAt(utc(2026, 7, 15, 13, 30)));

    typeTide(w, QStringLiteral("Big flood"));
    ASSERT_EQ(w.Combo2->currentText(), QStringLiteral("Big flood"));
    w.Text4->setText(QStringLiteral("6:30 PM"));
    enterDate(w, "20", "7", "2026");
    w.Text4->setText(QStringLiteral("09:15"));
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Big flood"));
    // The tip still tells the new date's highs and lows.
    EXPECT_TRUE(w.Combo2->toolTip().contains(QStringLiteral("High ")))
        << w.Combo2->toolTip().toStdString();

    w.Command1->click();
    const JournalReadResult saved = readJournalEntry(dir.path(), 1);
    ASSERT_EQ(saved.status, JournalReadStatus::Ok) << saved.error.toStdString();
    EXPECT_EQ(saved.entry.tide, QStringLiteral("Big flood"));

    // A blank page again (Clear): offered anew, until a pick from the list.
    w.Command6->click();
    enterDate(w, "15", "7", "2026");
    w.Text4->setText(QStringLiteral("6:30 AM"));
    EXPECT_EQ(w.Combo2->currentText(), tideAt(utc(2026, 7, 15, 13, 30)));
    QTest::keyClick(w.Combo2, Qt::Key_Down);
    const QString picked = w.Combo2->currentText();
    ASSERT_NE(picked, tideAt(utc(2026, 7, 15, 13, 30)));
    w.Text4->setText(QStringLiteral("6:30 PM"));
    enterDate(w, "16", "7", "2026");
    EXPECT_EQ(w.Combo2->currentText(), picked);
}

TEST_F(JournalTidesTest, AnEntryReadFromItsFileKeepsItsTide) {
    JournalEntry e;
    e.day = QStringLiteral("15");
    e.month = QStringLiteral("7");
    e.year = QStringLiteral("2026");
    e.tripTime = QStringLiteral("6:30 AM");
    e.tide = QStringLiteral("Ebbing hard");
    QString error;
    ASSERT_TRUE(writeJournalEntry(dir.path(), 1, e, &error)) << error.toStdString();

    Form3 w(services());
    ASSERT_EQ(w.entryNumber(), 1);
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Ebbing hard"));
    w.Text4->setText(QStringLiteral("18:30"));
    enterDate(w, "16", "7", "2026");
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Ebbing hard"));
    EXPECT_EQ(asked, 0);

    // The blank page past it is a new entry, and is offered the tide.
    w.Command5->click();
    ASSERT_TRUE(w.newEntryFlag());
    enterDate(w, "15", "7", "2026");
    w.Text4->setText(QStringLiteral("6:30 AM"));
    EXPECT_EQ(w.Combo2->currentText(), tideAt(utc(2026, 7, 15, 13, 30)));
    // Back on the entry: its own tide, untouched by the hour typed.
    w.Command4->click();
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Ebbing hard"));
    w.Text4->setText(QStringLiteral("6:30 PM"));
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Ebbing hard"));
}

TEST_F(JournalTidesTest, APlaceWithoutTidesChangesNothing) {
    Form3 w(services(false));
    w.Combo2->setEditText(QStringLiteral("Rising 2/3"));
    enterDate(w, "15", "7", "2026");
    w.Text4->setText(QStringLiteral("6:30 AM"));
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Rising 2/3"));
    EXPECT_EQ(w.Combo2->toolTip(), QStringLiteral("State of the tide"));
}

TEST_F(JournalTidesTest, ATripTimeThatIsNoTimeLeavesTheTideAlone) {
    Form3 w(services());
    w.Combo2->setEditText(QStringLiteral("Rising 2/3"));
    enterDate(w, "15", "7", "2026");  // the trip time box is blank
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Rising 2/3"));
    w.Text4->setText(QStringLiteral("early morning"));
    EXPECT_EQ(w.Combo2->currentText(), QStringLiteral("Rising 2/3"));
    EXPECT_EQ(asked, 0);

    w.Text4->setText(QStringLiteral("6:30 AM"));
    const QString offered = tideAt(utc(2026, 7, 15, 13, 30));
    EXPECT_EQ(w.Combo2->currentText(), offered);
    w.Text4->setText(QStringLiteral("after lunch"));
    EXPECT_EQ(w.Combo2->currentText(), offered);
}

}  // namespace
}  // namespace moonbite
