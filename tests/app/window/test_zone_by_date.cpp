// The main window on a computer in Sydney in January (+11, daylight time):
// with the zone following the computer and "Auto Daylight Savings Adjust"
// checked, each date shows the times its own clocks will show.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimeZone>
#include <nlohmann/json.hpp>
#include <sstream>

#include "updown.h"
#include "window_fixture.h"

namespace moonbite::testing {

std::string toolDayTimes(const char* lat, const char* lon, const char* zone, const QDate& date) {
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    std::vector<const char*> args = {"moonbite-cli", "day", "--lat",  lat,         "--lon", lon,
                                     "--tz",         zone,  "--date", iso.c_str(), "--json"};
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        cli::run(static_cast<int>(args.size()), args.data(), out, err, *Date::fromYmd(2027, 1, 20));
    EXPECT_EQ(status, 0) << err.str();
    const auto j = nlohmann::json::parse(out.str());
    return j["sunrise"].get<std::string>() + " " + j["moonrise"].get<std::string>() + " " +
           j["major_moon_above"].get<std::string>() + " " +
           j["minor_moon_below"].get<std::string>();
}

std::string shownDayTimes(const Form1& w) {
    return (w.Text2->text() + " " + w.Text21->text() + " " + w.Text4->text() + " " +
            w.Text8->text())
        .toStdString();
}

void goToDate(Form1& w, const QDate& d) {
    w.Text10->setText(QString::number(d.year()));
    w.Combo1->setCurrentIndex(d.month() - 1);
    w.Text1->setText(QString::number(d.day() - 1));
    w.UpDown1->clickUp();
}

namespace {

class ZoneByDateWindow : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        TimeZoneInfo info = sydneyComputer();
        info.status = 2;  // daylight time in effect: +11
        zone.set(info);
        zone.setZone(QTimeZone("Australia/Sydney"));
        today = QDate(2027, 1, 20);
    }
};

TEST_F(ZoneByDateWindow, EachDateShowsItsOwnClocks) {
    storeSydney();
    Form1& w = open();
    ASSERT_EQ(w.Text17->text(), QStringLiteral("11"));  // the computer's offset today
    goToDate(w, QDate(2027, 7, 15));
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "10", QDate(2027, 7, 15)));
    goToDate(w, QDate(2027, 1, 15));
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "11", QDate(2027, 1, 15)));
    // The days of the changes and the days after.
    for (const auto& [date, zoneText] :
         std::vector<std::pair<QDate, const char*>>{{QDate(2027, 4, 3), "11"},
                                                    {QDate(2027, 4, 4), "10"},
                                                    {QDate(2027, 4, 5), "10"},
                                                    {QDate(2027, 10, 2), "10"},
                                                    {QDate(2027, 10, 3), "11"},
                                                    {QDate(2027, 10, 4), "11"}}) {
        goToDate(w, date);
        EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", zoneText, date))
            << date.toString().toStdString();
    }
    // What the settings frame stores keeps its meaning: today's offset.
    EXPECT_EQ(store->get(kStateApp, QStringLiteral("Settings"), QStringLiteral("gmt")),
              QStringLiteral("11"));
}

TEST_F(ZoneByDateWindow, TheChangeDaysSaySo) {
    storeSydney();
    Form1& w = open();
    goToDate(w, QDate(2027, 4, 4));
    EXPECT_FALSE(w.LabelClockChange->isHidden());
    EXPECT_EQ(w.LabelClockChange->text(), QStringLiteral("Clocks go back"));
    goToDate(w, QDate(2027, 10, 3));
    EXPECT_EQ(w.LabelClockChange->text(), QStringLiteral("Clocks go forward"));
    // Not covering the equinox or solstice label.
    EXPECT_FALSE(w.LabelClockChange->geometry().intersects(w.Label19->geometry()));
    goToDate(w, QDate(2027, 10, 4));
    EXPECT_TRUE(w.LabelClockChange->isHidden());
}

TEST_F(ZoneByDateWindow, UncheckedAdjustKeepsOneOffset) {
    storeSydney();
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("daylight"),
                QStringLiteral("0"));
    Form1& w = open();
    ASSERT_EQ(w.Text17->text(), QStringLiteral("10"));  // standard time
    goToDate(w, QDate(2027, 1, 15));
    EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "10", QDate(2027, 1, 15)));
    goToDate(w, QDate(2027, 4, 4));
    EXPECT_TRUE(w.LabelClockChange->isHidden());
}

TEST_F(ZoneByDateWindow, ACustomZoneKeepsOneOffset) {
    storeSydney();
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("custom"),
                QStringLiteral("True"));
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("gmt"),
                QStringLiteral("9.5"));
    Form1& w = open();
    ASSERT_EQ(w.Text16->text(), QStringLiteral("Custom"));
    for (const QDate& d : {QDate(2027, 1, 15), QDate(2027, 7, 15)}) {
        goToDate(w, d);
        EXPECT_EQ(shownDayTimes(w), toolDayTimes("33:52S", "151:13E", "9.5", d));
    }
}

}  // namespace
}  // namespace moonbite::testing
