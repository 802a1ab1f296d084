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
namespace {

// The tool's day at Sydney in a fixed zone: the texts that zone's clocks show.
std::string sunriseAtSydney(const QDate& date, const char* zone) {
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    std::vector<const char*> args = {"moonbite-cli", "day",       "--lat", "33:52S",
                                     "--lon",        "151:13E",   "--tz",  zone,
                                     "--date",       iso.c_str(), "--json"};
    std::ostringstream out;
    std::ostringstream err;
    cli::run(static_cast<int>(args.size()), args.data(), out, err, *Date::fromYmd(2027, 1, 20));
    const auto j = nlohmann::json::parse(out.str());
    return j["sunrise"].get<std::string>() + " " + j["moonrise"].get<std::string>() + " " +
           j["major_moon_above"].get<std::string>() + " " +
           j["minor_moon_below"].get<std::string>();
}

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
    static void goTo(Form1& w, const QDate& d) {
        w.Text10->setText(QString::number(d.year()));
        w.Combo1->setCurrentIndex(d.month() - 1);
        w.Text1->setText(QString::number(d.day() - 1));
        w.UpDown1->clickUp();
    }
    static std::string shown(const Form1& w) {
        return (w.Text2->text() + " " + w.Text21->text() + " " + w.Text4->text() + " " +
                w.Text8->text())
            .toStdString();
    }
};

TEST_F(ZoneByDateWindow, EachDateShowsItsOwnClocks) {
    storeSydney();
    Form1& w = open();
    ASSERT_EQ(w.Text17->text(), QStringLiteral("11"));  // the computer's offset today
    goTo(w, QDate(2027, 7, 15));
    EXPECT_EQ(shown(w), sunriseAtSydney(QDate(2027, 7, 15), "10"));
    goTo(w, QDate(2027, 1, 15));
    EXPECT_EQ(shown(w), sunriseAtSydney(QDate(2027, 1, 15), "11"));
    // The days of the changes and the days after.
    for (const auto& [date, zoneText] :
         std::vector<std::pair<QDate, const char*>>{{QDate(2027, 4, 3), "11"},
                                                    {QDate(2027, 4, 4), "10"},
                                                    {QDate(2027, 4, 5), "10"},
                                                    {QDate(2027, 10, 2), "10"},
                                                    {QDate(2027, 10, 3), "11"},
                                                    {QDate(2027, 10, 4), "11"}}) {
        goTo(w, date);
        EXPECT_EQ(shown(w), sunriseAtSydney(date, zoneText)) << date.toString().toStdString();
    }
    // What the settings frame stores keeps its meaning: today's offset.
    EXPECT_EQ(store->get(kStateApp, QStringLiteral("Settings"), QStringLiteral("gmt")),
              QStringLiteral("11"));
}

TEST_F(ZoneByDateWindow, TheChangeDaysSaySo) {
    storeSydney();
    Form1& w = open();
    goTo(w, QDate(2027, 4, 4));
    EXPECT_FALSE(w.LabelClockChange->isHidden());
    EXPECT_EQ(w.LabelClockChange->text(), QStringLiteral("Clocks go back"));
    goTo(w, QDate(2027, 10, 3));
    EXPECT_EQ(w.LabelClockChange->text(), QStringLiteral("Clocks go forward"));
    // Not covering the equinox or solstice label.
    EXPECT_FALSE(w.LabelClockChange->geometry().intersects(w.Label19->geometry()));
    goTo(w, QDate(2027, 10, 4));
    EXPECT_TRUE(w.LabelClockChange->isHidden());
}

TEST_F(ZoneByDateWindow, UncheckedAdjustKeepsOneOffset) {
    storeSydney();
    store->save(kStateApp, QStringLiteral("Settings"), QStringLiteral("daylight"),
                QStringLiteral("0"));
    Form1& w = open();
    ASSERT_EQ(w.Text17->text(), QStringLiteral("10"));  // standard time
    goTo(w, QDate(2027, 1, 15));
    EXPECT_EQ(shown(w), sunriseAtSydney(QDate(2027, 1, 15), "10"));
    goTo(w, QDate(2027, 4, 4));
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
        goTo(w, d);
        EXPECT_EQ(shown(w), sunriseAtSydney(d, "9.5"));
    }
}

}  // namespace
}  // namespace moonbite::testing
