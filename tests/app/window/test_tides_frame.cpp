// The main window's tides: the Tides frame and the day at a glance for the
// displayed day, the station each place keeps, and a computer without the
// harmonics file.
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "chart_widget.h"
#include "day_glance.h"
#include "tide_station_dialog.h"
#include "window_fixture.h"

namespace moonbite::testing {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

class TidesFrame : public WindowTest {
  protected:
    /// Friday Harbor, Washington, as Apply would have saved it, with its zone by name.
    void storeFridayHarbor(const char* name = "Friday Harbor") {
        const QString state = kStateApp;
        const QString s = QStringLiteral("Settings");
        const std::pair<const char*, const char*> values[] = {
            {"currentloc", name}, {"latdeg", "48"}, {"latmin", "33"},  {"NorS", "N"},
            {"londeg", "123"},    {"lonmin", "1"},  {"WorE", "W"},     {"gmt", "-7"},
            {"custom", "True"},   {"tzname", "America/Los_Angeles"}};
        for (const auto& [key, value] : values)
            store->save(state, s, QString::fromLatin1(key), QString::fromUtf8(value));
    }

    static int stationWithId(const char* id) {
        const auto& all = installedTides()->stations;
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i].id == id && all[i].reference) return static_cast<int>(i);
        ADD_FAILURE() << "no station " << id;
        return 0;
    }
    static const tides::TideStation& station(int i) {
        return installedTides()->stations[static_cast<std::size_t>(i)];
    }

    /// What the core says of the shown day at a station, line by line.
    static QStringList expectedEvents(Form1& w, int stationIndex) {
        const Date d = Date::fromYmd(shownDate(w).year(), shownDate(w).month(), shownDate(w).day()).value();
        const tides::DayTides day = tides::dayTides(*installedTides(), station(stationIndex), w.state(), d);
        QStringList lines;
        for (std::size_t i = 0; i < day.events.size(); ++i)
            lines << text(tides::eventText(day.events[i], day.minutes[i], w.state().designators));
        return lines;
    }
};

TEST_F(TidesFrame, TheNearestStationsHighsAndLowsOfTheShownDay) {
    storeFridayHarbor();
    today = QDate(2026, 7, 15);
    now = 1784136000;  // 15 July 2026 17:20 UTC, 10:20 at the place
    Form1& w = open();
    const int fh = stationWithId("9449880");
    EXPECT_EQ(w.LabelTideStation->text(), text(station(fh).name));
    const QStringList events = expectedEvents(w, fh);
    ASSERT_GE(events.size(), 3);
    const QStringList shown = w.LabelTideEvents->text().split(QLatin1Char('\n'));
    ASSERT_EQ(shown.size(), events.size() + 1) << w.LabelTideEvents->text().toStdString();
    EXPECT_TRUE(shown.front().contains(QStringLiteral("km away \u00b7 m above MLLW")))
        << shown.front().toStdString();
    const double km = tides::distanceKm(48.55, -(123 + 1 / 60.0), station(fh).latitude,
                                        station(fh).longitude);
    EXPECT_TRUE(shown.front().startsWith(text(tides::distanceText(km))));
    EXPECT_EQ(shown.mid(1), events);
    // Today: the tide now, as the core has it at that instant.
    EXPECT_EQ(w.LabelTideNow->text(), tides::rising(*installedTides(), station(fh), *now)
                                          ? QStringLiteral("Rising now")
                                          : QStringLiteral("Falling now"));
    // The frame's tip names the datum and says what the predictions are not for.
    EXPECT_TRUE(w.FrameTides->toolTip().contains(QStringLiteral("Mean Lower Low Water")));
    EXPECT_TRUE(w.FrameTides->toolTip().contains(QStringLiteral("not for navigation")));

    // The day at a glance says the same highs and lows.
    const QString picture = w.PictureDay->description();
    EXPECT_TRUE(picture.contains(text(station(fh).name))) << picture.toStdString();
    for (const QString& e : events) EXPECT_TRUE(picture.contains(e)) << e.toStdString();
    EXPECT_TRUE(picture.contains(w.Text2->text())) << "the sunrise as its box shows it";
    EXPECT_EQ(w.PictureDay->accessibleName(), QStringLiteral("Day at a glance"));

    // Another day: its own tides, and no "now".
    goToDate(w, QDate(2026, 7, 16));
    ASSERT_EQ(shownDate(w), QDate(2026, 7, 16));
    EXPECT_EQ(w.LabelTideEvents->text().split(QLatin1Char('\n')).mid(1), expectedEvents(w, fh));
    EXPECT_NE(expectedEvents(w, fh), events);
    EXPECT_EQ(w.LabelTideNow->text(), QString());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TidesFrame, APlaceFarFromEveryStationIsToldSo) {
    storeSydney();
    Form1& w = open();
    EXPECT_EQ(w.LabelTideStation->text(),
              QStringLiteral("No tide station near this place (none within 100 km)."));
    EXPECT_EQ(w.LabelTideEvents->text(), QString());
    EXPECT_TRUE(w.CommandTideStation->isEnabled()) << "a station may still be picked";
    EXPECT_TRUE(w.PictureDay->hasDay());
    EXPECT_FALSE(w.PictureDay->description().contains(QStringLiteral("High ")));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TidesFrame, WithoutTheHarmonicsFileTheFrameSaysWhyOnceAndNothingElseChanges) {
    storeFridayHarbor();
    tideSource = std::make_shared<tides::TideSource>(std::string("/nonexistent/harmonics.tcd"));
    Form1& w = open();
    EXPECT_TRUE(w.LabelTideStation->text().contains(QStringLiteral("/nonexistent/harmonics.tcd")))
        << w.LabelTideStation->text().toStdString();
    EXPECT_FALSE(w.CommandTideStation->isEnabled());
    EXPECT_TRUE(boxes.shown.empty()) << "no message at start-up";
    EXPECT_FALSE(w.Text2->text().isEmpty()) << "the day is shown as ever";
    EXPECT_TRUE(w.PictureDay->hasDay());
    EXPECT_FALSE(w.tidesOfPlace());
}

TEST_F(TidesFrame, APickedStationIsKeptWithThePlaceAndNoneTurnsTidesOff) {
    storeFridayHarbor();
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
                QStringLiteral("1"));
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("place(1)"),
                QStringLiteral("Friday Harbor"));
    today = QDate(2026, 7, 15);
    Form1& w = open();
    const int honolulu = stationWithId("1612340");
    w.setTideStation(text(station(honolulu).name));
    EXPECT_EQ(w.LabelTideStation->text(), text(station(honolulu).name));
    EXPECT_EQ(w.LabelTideEvents->text().split(QLatin1Char('\n')).mid(1), expectedEvents(w, honolulu));
    EXPECT_EQ(stored("tidestation"), text(station(honolulu).name));
    EXPECT_EQ(storedFor(QStringLiteral("Friday Harbor"), "tidestation"), text(station(honolulu).name));
    EXPECT_TRUE(w.tideLine().contains(text(station(honolulu).name)));

    // Kept for the next start.
    Form1& again = reopen();
    EXPECT_EQ(again.LabelTideStation->text(), text(station(honolulu).name));

    again.setTideStation(QStringLiteral("none"));
    EXPECT_EQ(again.LabelTideStation->text(),
              QStringLiteral("No tides for this place (Station... picks one)."));
    EXPECT_FALSE(again.tidesOfPlace());
    again.setTideStation(QString());
    EXPECT_EQ(again.LabelTideStation->text(), text(station(stationWithId("9449880")).name));
    EXPECT_TRUE(again.tidesOfPlace());
}

TEST_F(TidesFrame, ASavedLocationBringsBackItsStationWhenChosenAndApplied) {
    storeSydney();
    const QString section = locationSection(QStringLiteral("Harbor"));
    const std::pair<const char*, const char*> values[] = {
        {"latdeg", "48"}, {"latmin", "33"}, {"NorS", "N"}, {"londeg", "123"}, {"lonmin", "1"},
        {"WorE", "W"},    {"gmt", "-8"},    {"tzname", "America/Los_Angeles"}};
    for (const auto& [key, value] : values)
        store->save(kTitleApp, section, QString::fromLatin1(key), QString::fromLatin1(value));
    const int honolulu = stationWithId("1612340");
    store->save(kTitleApp, section, QStringLiteral("tidestation"), text(station(honolulu).name));
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("nlist"),
                QStringLiteral("1"));
    store->save(kTitleApp, QStringLiteral("Settings\\Locations\\"), QStringLiteral("place(1)"),
                QStringLiteral("Harbor"));
    Form1& w = open();
    w.mnualarm_Click();
    w.Combo3->setCurrentIndex(w.Combo3->findText(QStringLiteral("Harbor")));
    w.Combo3_Click();
    w.Command4_Click();  // Ok
    EXPECT_EQ(stored("tidestation"), text(station(honolulu).name));
    EXPECT_EQ(w.LabelTideStation->text(), text(station(honolulu).name));
}

TEST_F(TidesFrame, TheStationListOffersTheNearestFirstAndFindsByName) {
    const tides::TideDatabase& db = *installedTides();
    FormTideStation dialog(db, 48.55, -123.0167, QString());
    ASSERT_GE(dialog.ListStations->count(), 4);
    EXPECT_TRUE(dialog.ListStations->item(0)->text().startsWith(QStringLiteral("Nearest station (Friday Harbor")))
        << dialog.ListStations->item(0)->text().toStdString();
    EXPECT_EQ(dialog.ListStations->item(1)->text(), QStringLiteral("No tides for this place"));
    EXPECT_TRUE(dialog.ListStations->item(2)->text().startsWith(QStringLiteral("Friday Harbor")));
    EXPECT_EQ(dialog.choice(), QString()) << "the stored choice is selected: the nearest";
    dialog.ListStations->setCurrentRow(1);
    EXPECT_EQ(dialog.choice(), QStringLiteral("none"));

    QTest::keyClicks(dialog.TextFindStation, QStringLiteral("honolulu"));
    ASSERT_GE(dialog.ListStations->count(), 1);
    dialog.ListStations->setCurrentRow(0);
    const QString chosen = dialog.choice();
    EXPECT_TRUE(chosen.startsWith(QStringLiteral("Honolulu"))) << chosen.toStdString();
    EXPECT_GE(tides::stationNamed(db, chosen.toStdString()), 0);

    dialog.TextFindStation->setText(QStringLiteral("no such harbour anywhere"));
    EXPECT_EQ(dialog.ListStations->count(), 0);
    EXPECT_FALSE(dialog.CommandOk->isEnabled());
    EXPECT_TRUE(dialog.LabelStationNote->text().contains(QStringLiteral("No station matches")));
}

TEST_F(TidesFrame, TheDayPictureGrowsWithTheWindow) {
    storeFridayHarbor();
    Form1& w = open();
    const QSize design = w.size();
    const QRect before = w.PictureDay->geometry();
    w.resize(design * 3 / 2);
    QResizeEvent event(w.size(), design);
    QApplication::sendEvent(&w, &event);
    EXPECT_NEAR(w.PictureDay->width(), before.width() * 1.5, 3);
    EXPECT_GT(w.PictureDay->height(), before.height() * 1.3);
    // Below the day's values, above the chart, never over either.
    EXPECT_LE(w.Frame2->geometry().bottom(), w.PictureDay->y());
    EXPECT_LE(w.PictureDay->geometry().bottom(), w.MSChart1->y());
    EXPECT_LE(w.FrameTides->geometry().bottom(), w.PictureDay->y());
}

TEST_F(TidesFrame, ThePrintWindowAndTheJournalGetThePlacesTides) {
    storeFridayHarbor();
    today = QDate(2026, 7, 15);
    Form1& w = open();
    const int fh = stationWithId("9449880");
    const Date d = Date::fromYmd(2026, 7, 15).value();
    const PrintServices print = w.printServices();
    ASSERT_TRUE(print.tidesOf);
    const tides::DayTides day = print.tidesOf(w.state(), d);
    const tides::DayTides expected = tides::dayTides(*installedTides(), station(fh), w.state(), d);
    ASSERT_EQ(day.events.size(), expected.events.size());
    for (std::size_t i = 0; i < day.events.size(); ++i) EXPECT_EQ(day.events[i].time, expected.events[i].time);
    EXPECT_TRUE(print.tideLine.contains(text(station(fh).name)));
    EXPECT_TRUE(print.tideLine.contains(QStringLiteral("Mean Lower Low Water")));
    EXPECT_TRUE(print.noTidesReason.isEmpty());

    const JournalServices journal = w.journalServices();
    ASSERT_TRUE(journal.tideStateOf);
    // 10:20 PDT is 17:20 UTC.
    EXPECT_EQ(journal.tideStateOf(w.state(), d, 10 * 60 + 20),
              tides::tideState(*installedTides(), station(fh), 1784136000));
    const std::string all = journal.dayTidesText(w.state(), d);
    for (std::size_t i = 0; i < expected.events.size(); ++i)
        EXPECT_NE(all.find(tides::eventText(expected.events[i], expected.minutes[i], w.state().designators)),
                  std::string::npos);

    w.setTideStation(QStringLiteral("none"));
    EXPECT_FALSE(w.printServices().tidesOf);
    EXPECT_EQ(w.printServices().noTidesReason,
              QStringLiteral("No tides for this place (Station... picks one)."));
    EXPECT_FALSE(w.journalServices().tideStateOf);
}

// A bar picked in the graph gives its day's tide range beside its date, and
// the graph's description reads it with the day.
TEST_F(TidesFrame, TheSelectedDaysTideRange) {
    storeFridayHarbor();
    today = QDate(2026, 7, 15);
    Form1& w = open();
    w.MSChart1_PointSelected(1, 3, 0, 0);  // 17 July
    ASSERT_TRUE(w.Text3->isVisibleTo(&w));
    const tides::DayTides day = tides::dayTides(*installedTides(), station(stationWithId("9449880")),
                                                w.state(), Date::fromYmd(2026, 7, 17).value());
    double low = 99, high = -99;
    for (const tides::TideEvent& e : day.events) {
        low = std::min(low, e.heightMetres);
        high = std::max(high, e.heightMetres);
    }
    const QString range = QStringLiteral("Tide range %1 m").arg(high - low, 0, 'f', 2);
    EXPECT_TRUE(w.TextTideRange->isVisibleTo(&w));
    EXPECT_EQ(w.TextTideRange->text(), range);
    EXPECT_TRUE(w.MSChart1->accessibleDescription().startsWith(
        QStringLiteral("Selected: 17 July ")))
        << w.MSChart1->accessibleDescription().toStdString();
    EXPECT_TRUE(w.MSChart1->accessibleDescription().contains(range.toLower()));
    EXPECT_GT(w.TextTideRange->x(), w.Text3->geometry().right());
    w.MSChart1_LostFocus();
    EXPECT_FALSE(w.TextTideRange->isVisibleTo(&w));

    // No range where the place has no tides.
    w.setTideStation(QStringLiteral("none"));
    w.MSChart1_PointSelected(1, 3, 0, 0);
    EXPECT_FALSE(w.TextTideRange->isVisibleTo(&w));
    EXPECT_FALSE(w.MSChart1->accessibleDescription().contains(QStringLiteral("tide range")));
}

}  // namespace
}  // namespace moonbite::testing
