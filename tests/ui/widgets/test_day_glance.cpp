// The day-at-a-glance strip: its description against the day's own boxes, the
// sky, the tide curve and the clock-change day, read back from the painted
// pixels where the picture is the point.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "calendar_time.h"
#include "contrast.h"
#include "day_driver.h"
#include "day_glance.h"
#include "place_tides.h"
#include "sun_altitude.h"
#include "tide_database.h"
#include "tide_prediction.h"

namespace moonbite {
namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d).value();
}

SolunarState placeAt(double lat, double lon, double zoneHours) {
    SolunarState s;
    s.latitude = lat;
    s.longitude = lon;
    Text zone;
    numberText(zone, zoneHours);
    s.timeZoneEntered = zone.view();
    numberText(zone, -zoneHours);
    s.timeZoneForComputations = zone.view();
    s.plottedDayCount = 0;
    return s;
}

// The day computation the main window runs after a date change.
void computeDay(SolunarState& s, Date d) {
    setDateControls(s, d);
    computeDisplayedDay(s);
}

SolunarState sydneyDay(Date d) {
    SolunarState s = placeAt(-(33 + 52 / 60.0), 151 + 13 / 60.0, 10);
    computeDay(s, d);
    return s;
}

QString q(const Text& t) {
    return QString::fromUtf8(t.view().data(), static_cast<qsizetype>(t.view().size()));
}

// Minutes of the day of an "hh:mm AM" text.
int minuteOf(const QString& text) {
    const int h = text.left(2).toInt() % 12;
    const int m = text.mid(3, 2).toInt();
    return h * 60 + m + (text.mid(6) == QLatin1String("PM") ? 720 : 0);
}

QString clock(int minuteOfDay) {
    Text out;
    formatClock(out, minuteOfDay, ClockDesignators{});
    return q(out);
}

// The instant a fixed zone's clock text on a date stands for.
Instant instantOfClock(Date d, const QString& text, double zoneHours) {
    return instantOf(d) + minuteOf(text) * 60 - zoneSeconds(zoneHours);
}

const tides::TideDatabase& harmonics() {
    static const tides::LoadResult loaded = tides::loadTideDatabase(tides::defaultHarmonicsPath());
    if (!loaded.database) {
        ADD_FAILURE() << loaded.error;
        std::abort();
    }
    return *loaded.database;
}

// Friday Harbor, San Juan Island: the reference station 9449880.
const tides::TideStation& fridayHarbor() {
    for (const tides::TideStation& t : harmonics().stations)
        if (t.id == "9449880" && t.reference) return t;
    ADD_FAILURE() << "no reference station 9449880";
    std::abort();
}

// Friday Harbor in winter: its standard time, 8 hours west.
SolunarState fridayHarborDay(Date d) {
    SolunarState s = placeAt(48.5453, -123.0125, -8);
    computeDay(s, d);
    return s;
}

QImage render(DayGlance& g, int w, int h) {
    g.resize(w, h);
    return g.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The topmost pixel of the curve's colour in a column, -1 when there is none.
int curveTopIn(const QImage& img, int x, const QColor& curve) {
    for (int y = 0; y < img.height(); ++y)
        if (near(img.pixelColor(x, y), curve, 12)) return y;
    return -1;
}

// ---------------------------------------------------------------------------

TEST(DayGlance, IsAPictureWithANameAndNoTabStop) {
    DayGlance g;
    EXPECT_EQ(g.accessibleName(), QStringLiteral("Day at a glance"));
    EXPECT_EQ(g.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(g.description(), QStringLiteral("No place chosen"));
    EXPECT_FALSE(g.hasDay());
}

TEST(DayGlance, DescriptionGivesTheSkyAndPeriodsAsTheBoxesShowThem) {
    const Date d = ymd(2000, 1, 21);
    const SolunarState s = sydneyDay(d);
    DayGlance g;
    g.setDay(s, d, nullptr, QString());
    const QString text = g.description();
    EXPECT_EQ(g.accessibleDescription(), text);

    // Midsummer Sydney: night, dawn twilight up to the box's sunrise,
    // daylight to its sunset, twilight, night.
    const QRegularExpression sky(QStringLiteral(
        "^Night until (\\d\\d:\\d\\d [AP]M), twilight until (\\d\\d:\\d\\d [AP]M), "
        "daylight until (\\d\\d:\\d\\d [AP]M), twilight until (\\d\\d:\\d\\d [AP]M), "
        "then night\\."));
    const QRegularExpressionMatch m = sky.match(text);
    ASSERT_TRUE(m.hasMatch()) << text.toStdString();
    EXPECT_EQ(m.captured(2), q(s.Text2));
    EXPECT_EQ(m.captured(3), q(s.Text32));
    EXPECT_EQ(s.Text2.view(), "05:05 AM");
    // Civil dawn and dusk: the Sun six degrees down at those minutes.
    for (const int i : {1, 4}) {
        const Instant at = instantOfClock(d, m.captured(i), 10);
        EXPECT_NEAR(sunAltitudeDegrees(s.latitude, s.longitude, at), -6.0, 0.25) << i;
    }
    // Dawn comes about half an hour before sunrise at this latitude in summer.
    const int dawn = minuteOf(m.captured(1));
    EXPECT_GT(minuteOf(q(s.Text2)) - dawn, 22);
    EXPECT_LT(minuteOf(q(s.Text2)) - dawn, 36);

    // Each period from its box's start to two hours later.
    for (const Text* box : {&s.Text4, &s.Text5, &s.Text7, &s.Text8}) {
        const QString start = q(*box);
        ASSERT_EQ(start.size(), 8) << box->view();
        EXPECT_TRUE(text.contains(start + QStringLiteral(" to ") + clock(minuteOf(start) + 120)))
            << start.toStdString() << " in " << text.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Major periods "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("minor periods "))) << text.toStdString();
    // The Moon: rise and set as the boxes say, overhead at the middle of the
    // "Moon Above" major, underfoot in the "Moon Below" one.
    EXPECT_TRUE(text.contains(QStringLiteral("Moonrise ") + q(s.Text21))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("moonset ") + q(s.Text39))) << text.toStdString();
    // The Moon above period starts at 11:32 PM: its transit comes after
    // midnight, on the next day's strip.
    EXPECT_EQ(s.Text4.view(), "11:32 PM");
    EXPECT_FALSE(text.contains(QStringLiteral("overhead"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Moon underfoot ") + clock(minuteOf(q(s.Text5)) + 60)))
        << text.toStdString();
    // No tides were given.
    EXPECT_FALSE(text.contains(QStringLiteral("Tides"))) << text.toStdString();
}

TEST(DayGlance, MoonTransitsLieAtTheMiddleOfTheirMajors) {
    // A fortnight of days: whenever a major's middle falls within the day,
    // the description names the Moon overhead (or underfoot) there.
    int overhead = 0;
    int underfoot = 0;
    DayGlance g;
    for (Date d = ymd(2000, 1, 21); d < ymd(2000, 2, 4); d = d + 1) {
        const SolunarState s = sydneyDay(d);
        g.setDay(s, d, nullptr, QString());
        const QString text = g.description();
        const auto expectAt = [&](const Text& box, const char* words, int& count) {
            if (box.view().size() != 8) return;
            const int middle = minuteOf(q(box)) + 60;
            if (middle >= 1440) {
                EXPECT_FALSE(text.contains(QString::fromLatin1(words))) << text.toStdString();
                return;
            }
            EXPECT_TRUE(
                text.contains(QString::fromLatin1(words) + QLatin1Char(' ') + clock(middle)))
                << text.toStdString();
            ++count;
        };
        expectAt(s.Text4, "Moon overhead", overhead);
        expectAt(s.Text5, "Moon underfoot", underfoot);
    }
    EXPECT_GE(overhead, 10);
    EXPECT_GE(underfoot, 10);
}

TEST(DayGlance, MoonThatNeitherRisesNorSetsIsSaidOnce) {
    // Far north the Moon stays up (or down) for days each month.
    SolunarState s = placeAt(78.22, 15.65, 1);
    std::optional<Date> found;
    for (Date d = ymd(2026, 1, 1); d < ymd(2026, 3, 1) && !found; d = d + 1) {
        computeDay(s, d);
        if (s.Text21.view() == "Stays Up" || s.Text21.view() == "Stays Down") found = d;
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(s.Text39, s.Text21);
    DayGlance g;
    g.setDay(s, *found, nullptr, QString());
    const QString text = g.description();
    const QString said = QStringLiteral("Moon ") + q(s.Text21).toLower() + QLatin1Char('.');
    EXPECT_TRUE(text.contains(said)) << text.toStdString();
    EXPECT_EQ(text.count(q(s.Text21), Qt::CaseInsensitive), 1) << text.toStdString();
    // The boxes say "Can't Calc": no period to show.
    EXPECT_TRUE(text.contains(QStringLiteral("No major period; no minor period.")))
        << text.toStdString();
}

TEST(DayGlance, ShadingIsNightAtTwoAndDaylightAtNoon) {
    const Date d = ymd(2026, 12, 9);
    const SolunarState s = sydneyDay(d);
    DayGlance g;
    g.setNow(0);  // the "now" marker off the day
    g.setDay(s, d, nullptr, QString());
    const Instant two = instantOf(d) + 2 * 3600 - zoneSeconds(10);
    const Instant noon = instantOf(d) + 12 * 3600 - zoneSeconds(10);
    EXPECT_EQ(g.lightAt(two), DayGlance::Light::Night);
    EXPECT_EQ(g.lightAt(noon), DayGlance::Light::Daylight);

    // And in the picture: the column at 02:00 shows the night's colour (or a
    // band over it), the one at noon the day's.
    const QImage img = render(g, 800, 120);
    const DayGlance::Colours c = g.colours();
    const auto countOf = [&](int x, const QColor& sky) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y) {
            const QColor p = img.pixelColor(x, y);
            for (const QColor& band : {c.major, c.minor}) {
                QColor over = sky;
                const double a = band.alphaF();
                over.setRgb(
                    static_cast<int>(std::lround(sky.red() + (band.red() - sky.red()) * a)),
                    static_cast<int>(std::lround(sky.green() + (band.green() - sky.green()) * a)),
                    static_cast<int>(std::lround(sky.blue() + (band.blue() - sky.blue()) * a)));
                if (near(p, over, 2)) ++n;
            }
            if (near(p, sky, 2)) ++n;
        }
        return n;
    };
    const int x2 = static_cast<int>(g.xOf(two));
    const int x12 = static_cast<int>(g.xOf(noon));
    EXPECT_GT(countOf(x2, c.night), 40);
    EXPECT_EQ(countOf(x2, c.daylight), 0);
    EXPECT_GT(countOf(x12, c.daylight), 40);
    EXPECT_EQ(countOf(x12, c.night), 0);
    EXPECT_NE(img.pixelColor(x2, 50), img.pixelColor(x12, 50));

    // The tip names the time and sky under the pointer, and a period there.
    EXPECT_TRUE(g.tipAt(g.xOf(two)).startsWith(QStringLiteral("02:00 AM, night")))
        << g.tipAt(g.xOf(two)).toStdString();
    EXPECT_TRUE(g.tipAt(g.xOf(noon)).startsWith(QStringLiteral("12:00 PM, daylight")));
    ASSERT_EQ(s.Text4.view().size(), 8u);
    const Instant major = instantOf(d) + minuteOf(q(s.Text4)) * 60 - zoneSeconds(10) + 1800;
    EXPECT_TRUE(g.tipAt(g.xOf(major)).contains(QStringLiteral("major period")))
        << g.tipAt(g.xOf(major)).toStdString();
    EXPECT_FALSE(g.tipAt(g.xOf(major)).contains(QStringLiteral("tide")));
}

TEST(DayGlance, PolarNightHasNoDaylight) {
    // Tromso in December: the Sun stays down; at midday it is only a few
    // degrees under the horizon, which is twilight, not day.
    const Date d = ymd(2026, 12, 15);
    SolunarState s = placeAt(69.65, 18.96, 1);
    computeDay(s, d);
    ASSERT_EQ(s.Text2At, kNoInstant);
    DayGlance g;
    g.setNow(0);  // the "now" marker off the day
    g.setDay(s, d, nullptr, QString());
    const QString text = g.description();
    EXPECT_FALSE(text.contains(QStringLiteral("daylight"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Night until "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("then night."))) << text.toStdString();
    const Instant two = instantOf(d) + 2 * 3600 - zoneSeconds(1);
    const Instant noon = instantOf(d) + 12 * 3600 - zoneSeconds(1);
    EXPECT_EQ(g.lightAt(two), DayGlance::Light::Night);
    EXPECT_NE(g.lightAt(noon), DayGlance::Light::Daylight);
    for (Instant t = instantOf(d) - zoneSeconds(1); t < instantOf(d + 1) - zoneSeconds(1); t += 600)
        EXPECT_NE(g.lightAt(t), DayGlance::Light::Daylight);
    // Nor a sky of daylight anywhere in the picture.
    const QImage img = render(g, 800, 120);
    const QColor day = g.colours().daylight;
    int dayPixels = 0;
    for (int x = 0; x < img.width(); x += 4)
        if (img.pixelColor(x, 60) == day) ++dayPixels;
    EXPECT_EQ(dayPixels, 0);
}

TEST(DayGlance, TidesAreNamedAndTheCurveRisesToItsHighs) {
    const Date d = ymd(2026, 12, 9);
    const SolunarState s = fridayHarborDay(d);
    const tides::TideStation& st = fridayHarbor();
    ASSERT_TRUE(st.reference);
    const tides::DayTides day = tides::dayTides(harmonics(), st, s, d);
    ASSERT_GE(day.events.size(), 3u);
    ASSERT_FALSE(day.interpolated);

    DayGlance g;
    g.setNow(0);  // the "now" marker off the day
    g.setDay(s, d, &day, QString::fromStdString(st.name));
    const QString text = g.description();
    EXPECT_TRUE(text.contains(QStringLiteral("Tides at ") + QString::fromStdString(st.name) + ": "))
        << text.toStdString();
    for (std::size_t i = 0; i < day.events.size(); ++i) {
        const std::string e = tides::eventText(day.events[i], day.minutes[i], s.designators);
        EXPECT_TRUE(text.contains(QString::fromStdString(e))) << e << " in " << text.toStdString();
    }

    const QImage img = render(g, 800, 120);
    const QColor curve = g.colours().curve;
    int highY = -1;
    int lowY = -1;
    double highest = -1e9;
    double lowest = 1e9;
    for (const tides::TideEvent& e : day.events) {
        const int x = std::clamp(static_cast<int>(std::lround(g.xOf(e.time + kUnixEpochInstant))),
                                 1, img.width() - 2);
        const int y = curveTopIn(img, x, curve);
        ASSERT_GE(y, 0) << "no curve at x " << x;
        if (e.high && e.heightMetres > highest) {
            highest = e.heightMetres;
            highY = y;
        }
        if (!e.high && e.heightMetres < lowest) {
            lowest = e.heightMetres;
            lowY = y;
        }
    }
    ASSERT_GE(highY, 0);
    ASSERT_GE(lowY, 0);
    // The day's highest high stands well above its lowest low.
    EXPECT_LT(highY + 20, lowY) << "high at y " << highY << ", low at y " << lowY;

    // The tip gives the height on the curve under the pointer.
    const tides::TideEvent& first = day.events.front();
    const QString tip = g.tipAt(g.xOf(first.time + kUnixEpochInstant) + 0.5);
    const double there = tides::curveHeightAt(
        day, g.instantAtX(g.xOf(first.time + kUnixEpochInstant) + 0.5) - kUnixEpochInstant);
    EXPECT_TRUE(tip.contains(QStringLiteral("tide %1 m").arg(there, 0, 'f', 2)))
        << tip.toStdString();
    EXPECT_TRUE(tip.startsWith(clock(day.minutes.front()).left(3))) << tip.toStdString();
}

TEST(DayGlance, CurveStaysInsideThePictureAtEverySize) {
    const Date d = ymd(2026, 6, 24);
    SolunarState s = placeAt(48.5453, -123.0125, -7);
    computeDay(s, d);
    const tides::TideStation& st = fridayHarbor();
    const tides::DayTides day = tides::dayTides(harmonics(), st, s, d);
    ASSERT_FALSE(day.events.empty());
    DayGlance g;
    g.setNow(0);  // the "now" marker off the day
    g.setDay(s, d, &day, QString::fromStdString(st.name));
    const QColor curve = g.colours().curve;
    for (const QSize size : {QSize(600, 80), QSize(800, 110), QSize(1900, 200)}) {
        const QImage img = render(g, size.width(), size.height());
        // The curve is drawn across the whole width: a sample every 50 px.
        for (int x = 2; x < size.width() - 2; x += 50)
            EXPECT_GE(curveTopIn(img, x, curve), 0)
                << size.width() << "x" << size.height() << " x " << x;
        // Every high and low shows on it, below the top edge.
        for (const tides::TideEvent& e : day.events) {
            const int x = std::clamp(static_cast<int>(g.xOf(e.time + kUnixEpochInstant)), 1,
                                     size.width() - 2);
            EXPECT_GT(curveTopIn(img, x, curve), 0) << size.width() << " event x " << x;
        }
    }
}

// Sydney's clocks by the system's zone database.
class NamedZone : public ZoneRule {
  public:
    explicit NamedZone(const char* name) : zone_(QByteArray(name)) {}
    [[nodiscard]] bool valid() const { return zone_.isValid(); }
    double hoursOn(Date d) const override { return hoursAt(instantOf(d) + 12 * 3600 - 10 * 3600); }
    double hoursAt(Instant t) const override {
        return zone_.offsetFromUtc(
                   QDateTime::fromSecsSinceEpoch(t - kUnixEpochInstant, QTimeZone::utc())) /
               3600.0;
    }

  private:
    QTimeZone zone_;
};

TEST(DayGlance, TwentyFiveHourDayKeepsItsLastHourInTheStrip) {
    // 4 April 2027: Sydney's clocks go back at 3:00 AM to 2:00 AM.
    const NamedZone rule("Australia/Sydney");
    ASSERT_TRUE(rule.valid());
    const Date d = ymd(2027, 4, 4);
    SolunarState s = placeAt(-(33 + 52 / 60.0), 151 + 13 / 60.0, 11);
    s.zoneRule = &rule;
    useZoneOf(s, d);
    computeDay(s, d);
    const ClockDay day = clockDay(s, d);
    ASSERT_EQ(day.end - day.begin, 25 * 3600);

    DayGlance g;
    g.resize(1000, 110);
    g.setDay(s, d, nullptr, QString());
    // The last hour (11 PM to midnight) lies inside, the right edge is midnight.
    EXPECT_NEAR(g.xOf(day.end), 1000.0, 1e-9);
    EXPECT_NEAR(g.xOf(day.end - 3600), 1000.0 * 24 / 25, 1e-9);
    EXPECT_TRUE(g.tipAt(g.xOf(day.end - 1800)).startsWith(QStringLiteral("11:30 PM")))
        << g.tipAt(g.xOf(day.end - 1800)).toStdString();
    EXPECT_TRUE(g.tipAt(g.xOf(day.end - 60) + 0.01).startsWith(QStringLiteral("11:59 PM")));
    // The hour the clocks show twice: half past two, an hour apart.
    EXPECT_TRUE(g.tipAt(g.xOf(day.begin + 2 * 3600 + 1800)).startsWith(QStringLiteral("02:30 AM")));
    EXPECT_TRUE(g.tipAt(g.xOf(day.begin + 3 * 3600 + 1800)).startsWith(QStringLiteral("02:30 AM")));
    EXPECT_TRUE(g.tipAt(g.xOf(day.begin + 4 * 3600 + 1800)).startsWith(QStringLiteral("03:30 AM")));
    // The sunrise and sunset it names are the day's boxes, in the winter clock.
    EXPECT_TRUE(g.description().contains(QStringLiteral("twilight until ") + q(s.Text2)))
        << g.description().toStdString();
    EXPECT_TRUE(g.description().contains(QStringLiteral("daylight until ") + q(s.Text32)))
        << g.description().toStdString();
    // Sunset in April is around 5:50 PM winter time.
    EXPECT_NEAR(minuteOf(q(s.Text32)), 17 * 60 + 50, 20);
}

TEST(DayGlance, ClearLeavesOnlyNoPlaceChosen) {
    const Date d = ymd(2026, 12, 9);
    DayGlance g;
    g.setNow(0);  // the "now" marker off the day
    g.setDay(sydneyDay(d), d, nullptr, QString());
    ASSERT_TRUE(g.hasDay());
    ASSERT_TRUE(g.description().contains(QStringLiteral("daylight")));
    g.clear();
    EXPECT_FALSE(g.hasDay());
    EXPECT_EQ(g.description(), QStringLiteral("No place chosen"));
    EXPECT_EQ(g.accessibleDescription(), QStringLiteral("No place chosen"));
    EXPECT_TRUE(g.tipAt(100).isEmpty());
    // A blank strip: one colour across its middle row.
    const QImage img = render(g, 800, 110);
    const QColor first = img.pixelColor(5, 40);
    for (int x = 5; x < 795; x += 10)
        EXPECT_EQ(img.pixelColor(x, 40), first) << x;
}

TEST(DayGlance, AnotherDayGivesAnotherDescription) {
    const Date d1 = ymd(2026, 12, 9);
    const Date d2 = ymd(2026, 6, 9);
    const SolunarState s1 = sydneyDay(d1);
    const SolunarState s2 = sydneyDay(d2);
    DayGlance g;
    g.setDay(s1, d1, nullptr, QString());
    const QString first = g.description();
    g.setDay(s2, d2, nullptr, QString());
    const QString second = g.description();
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.contains(QStringLiteral("twilight until ") + q(s1.Text2)));
    EXPECT_TRUE(second.contains(QStringLiteral("twilight until ") + q(s2.Text2)));
    EXPECT_FALSE(second.contains(q(s1.Text2))) << second.toStdString();
    EXPECT_EQ(g.accessibleDescription(), second);
}

TEST(DayGlance, NowMarkerOnlyOnTheDayItFallsIn) {
    const Date d = ymd(2026, 12, 9);
    DayGlance g;
    g.setDay(sydneyDay(d), d, nullptr, QString());
    g.resize(800, 120);
    const Instant noon = instantOf(d) + 12 * 3600 - zoneSeconds(10);
    const int x = static_cast<int>(std::lround(g.xOf(noon)));
    const QColor text = g.colours().text;
    const auto markerRows = [&](const QImage& img) {
        int n = 0;
        for (int y = 0; y < 80; ++y)
            if (near(img.pixelColor(x, y), text, 8)) ++n;
        return n;
    };
    g.setNow(noon - kUnixEpochInstant);
    const int shown = markerRows(render(g, 800, 120));
    g.setNow(noon - kUnixEpochInstant + 3 * 86400);
    const int elsewhere = markerRows(render(g, 800, 120));
    EXPECT_GT(shown, 50);  // all but where a label crosses it
    EXPECT_LT(elsewhere, 20);
}

TEST(DayGlance, TextReadsOnEverySkyLightAndDark) {
    for (const bool dark : {false, true}) {
        DayGlance g;
        if (dark) g.setPalette(darkDesktopPalette());
        const DayGlance::Colours c = g.colours();
        for (const QColor& sky : {c.night, c.twilight, c.daylight}) {
            for (const std::optional<QColor>& band :
                 {std::optional<QColor>(), std::optional<QColor>(c.major),
                  std::optional<QColor>(c.minor)}) {
                QColor ground = sky;
                if (band) {
                    const double a = band->alphaF();
                    ground.setRgbF(
                        static_cast<float>(sky.redF() + (band->redF() - sky.redF()) * a),
                        static_cast<float>(sky.greenF() + (band->greenF() - sky.greenF()) * a),
                        static_cast<float>(sky.blueF() + (band->blueF() - sky.blueF()) * a));
                }
                EXPECT_GE(contrastRatio(c.text, ground), 4.5) << dark;
                EXPECT_GE(contrastRatio(c.curve, ground), 2.9) << dark;
            }
        }
        EXPECT_GE(contrastRatio(c.axisText, c.axisBackground), 4.5) << dark;
        // Night is the darker end on either desktop.
        EXPECT_LT(relativeLuminance(c.night), relativeLuminance(c.daylight)) << dark;
        EXPECT_LT(relativeLuminance(c.night), relativeLuminance(c.twilight)) << dark;
        EXPECT_LT(relativeLuminance(c.twilight), relativeLuminance(c.daylight)) << dark;
    }
}

// Pictures to look at: MOONBITE_GLANCE_PICTURES names a folder for them. The
// checks hold with or without it.
TEST(DayGlance, PicturesLightAndDark) {
    const Date d = ymd(2026, 12, 9);
    const SolunarState s = fridayHarborDay(d);
    const tides::TideStation& ref = fridayHarbor();
    const tides::DayTides refDay = tides::dayTides(harmonics(), ref, s, d);
    // A subordinate station near by, whose curve is drawn dashed.
    int sub = -1;
    for (std::size_t i = 0; i < harmonics().stations.size(); ++i) {
        const tides::TideStation& t = harmonics().stations[i];
        if (!t.reference &&
            tides::distanceKm(t.latitude, t.longitude, ref.latitude, ref.longitude) < 40) {
            sub = static_cast<int>(i);
            break;
        }
    }
    ASSERT_GE(sub, 0);
    const tides::TideStation& subStation = harmonics().stations[static_cast<std::size_t>(sub)];
    const tides::DayTides subDay = tides::dayTides(harmonics(), subStation, s, d);
    ASSERT_TRUE(subDay.interpolated);
    const QString folder = qEnvironmentVariable("MOONBITE_GLANCE_PICTURES");
    for (const bool dark : {false, true}) {
        for (const bool subordinate : {false, true}) {
            for (const QSize size : {QSize(800, 110), QSize(1800, 200), QSize(600, 80)}) {
                DayGlance g;
                if (dark) g.setPalette(darkDesktopPalette());
                const tides::DayTides& day = subordinate ? subDay : refDay;
                g.setDay(s, d, &day,
                         QString::fromStdString(subordinate ? subStation.name : ref.name));
                if (size.width() > 1000) {
                    QFont f = g.font();
                    f.setPointSizeF(f.pointSizeF() * 2);
                    g.setFont(f);
                }
                g.setNow(refDay.begin + 15 * 3600);
                const QImage img = render(g, size.width(), size.height());
                // A dashed curve leaves gaps along it; a solid one none (or where a label
                // is written across it).
                int gaps = 0;
                for (int x = 2; x < size.width() - 2; ++x)
                    if (curveTopIn(img, x, g.colours().curve) < 0) ++gaps;
                if (subordinate)
                    EXPECT_GT(gaps, size.width() / 20) << size.width();
                else
                    EXPECT_LE(gaps, size.width() / 200) << size.width();  // a label may cross it
                if (!folder.isEmpty()) {
                    const QString name = QStringLiteral("glance-%1-%2-%3x%4.png")
                                             .arg(dark ? "dark" : "light")
                                             .arg(subordinate ? "subordinate" : "reference")
                                             .arg(size.width())
                                             .arg(size.height());
                    EXPECT_TRUE(img.save(QDir(folder).filePath(name)));
                    QFile said(QDir(folder).filePath(name + QStringLiteral(".txt")));
                    EXPECT_TRUE(said.open(QIODevice::WriteOnly));
                    said.write(g.description().toUtf8() + "\n");
                }
            }
        }
    }
}

// More pictures to look at (no tides): a day with all four periods, the
// polar night and the day the clocks go back. The major bands show in them.
TEST(DayGlance, PicturesOfOtherDays) {
    const NamedZone rule("Australia/Sydney");
    ASSERT_TRUE(rule.valid());
    struct Case {
        const char* name;
        double lat, lon, zone;
        const ZoneRule* rule;
        Date date;
    };
    const Case cases[] = {
        {"sydney", -(33 + 52 / 60.0), 151 + 13 / 60.0, 10, nullptr, ymd(2000, 1, 21)},
        {"tromso", 69.65, 18.96, 1, nullptr, ymd(2026, 12, 15)},
        {"clocks-back", -(33 + 52 / 60.0), 151 + 13 / 60.0, 11, &rule, ymd(2027, 4, 4)},
    };
    const QString folder = qEnvironmentVariable("MOONBITE_GLANCE_PICTURES");
    for (const Case& k : cases) {
        SolunarState s = placeAt(k.lat, k.lon, k.zone);
        s.zoneRule = k.rule;
        if (k.rule) useZoneOf(s, k.date);
        computeDay(s, k.date);
        for (const bool dark : {false, true}) {
            for (const QSize size : {QSize(600, 80), QSize(800, 110), QSize(1800, 200)}) {
                DayGlance g;
                g.setNow(0);  // the "now" marker off the day
                if (dark) g.setPalette(darkDesktopPalette());
                // The window's resizer scales the font with the geometry.
                if (size.width() > 1000) {
                    QFont f = g.font();
                    f.setPointSizeF(f.pointSizeF() * 2);
                    g.setFont(f);
                }
                g.setDay(s, k.date, nullptr, QString());
                const QImage img = render(g, size.width(), size.height());
                const DayGlance::Colours c = g.colours();
                // Under a major's middle, near the top, the band over the sky.
                for (const auto& [box, at] :
                     {std::pair{&s.Text4, s.Text4At}, std::pair{&s.Text5, s.Text5At}}) {
                    if (at == kNoInstant || box->view().size() != 8) continue;
                    const Instant middle = at + 3600;
                    if (middle >= clockDay(s, k.date).end) continue;
                    const QColor sky = g.lightAt(middle) == DayGlance::Light::Daylight ? c.daylight
                                       : g.lightAt(middle) == DayGlance::Light::Twilight
                                           ? c.twilight
                                           : c.night;
                    const double a = c.major.alphaF();
                    const QColor band(
                        static_cast<int>(std::lround(sky.red() + (c.major.red() - sky.red()) * a)),
                        static_cast<int>(
                            std::lround(sky.green() + (c.major.green() - sky.green()) * a)),
                        static_cast<int>(
                            std::lround(sky.blue() + (c.major.blue() - sky.blue()) * a)));
                    const int x = static_cast<int>(g.xOf(middle - 1200));
                    EXPECT_TRUE(near(img.pixelColor(x, size.height() / 3), band, 2))
                        << k.name << " " << size.width() << " x " << x;
                }
                if (!folder.isEmpty()) {
                    const QString name = QStringLiteral("glance-%1-%2-%3x%4.png")
                                             .arg(k.name)
                                             .arg(dark ? "dark" : "light")
                                             .arg(size.width())
                                             .arg(size.height());
                    EXPECT_TRUE(img.save(QDir(folder).filePath(name)));
                    QFile said(QDir(folder).filePath(name + QStringLiteral(".txt")));
                    EXPECT_TRUE(said.open(QIODevice::WriteOnly));
                    said.write(g.description().toUtf8() + "\n");
                }
            }
        }
    }
}

}  // namespace
}  // namespace moonbite
