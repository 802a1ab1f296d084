// The iCalendar writer on its own: reading the day's clock texts, local time
// to UTC, the place in the UIDs, which boxes give events, and the file's
// framing (folding, CR LF, UTF-8) as libical reads it back.
#include <gtest/gtest.h>
#include <libical/ical.h>

#include <ctime>
#include <string>
#include <vector>

#include "day_driver.h"
#include "ics_export.h"

namespace moonbite {
namespace {

Date ymd(int y, int m, int d) {
    return Date::fromYmd(y, m, d).value();
}

// Sydney's place in a fixed zone, nothing computed yet.
SolunarState sydneyIn(const char* zone, const char* negated) {
    SolunarState s;
    s.latitude = -(33 + 52 / 60.0);
    s.longitude = 151 + 13 / 60.0;
    s.timeZoneEntered = zone;
    s.timeZoneForComputations = negated;
    return s;
}

SolunarState sydneyDay(Date d) {
    SolunarState s = sydneyIn("10", "-10");
    s.plottedDayCount = 0;
    setDateControls(s, d);
    computeDisplayedDay(s);
    return s;
}

std::vector<IcsKind> kindsOf(const std::vector<IcsEvent>& events) {
    std::vector<IcsKind> kinds;
    for (const IcsEvent& e : events)
        kinds.push_back(e.kind);
    return kinds;
}

struct ClockCase {
    const char* text;
    int minute;  // -1: not a time
};

TEST(IcsClockTexts, OnlyTimesAsTheBoxesWriteThemAreRead) {
    const ClockDesignators english;
    for (const ClockCase& c : std::vector<ClockCase>{
             {"12:00 AM", 0},    {"12:05 AM", 5},     {"01:00 AM", 60},   {"11:59 AM", 719},
             {"12:00 PM", 720},  {"12:30 PM", 750},   {"07:13 PM", 1153}, {"11:59 PM", 1439},
             {"", -1},           {"     ", -1},  // a period that does not start on the day
             {"Can't Calc", -1}, {"No moonrise", -1}, {"No Rise", -1},    {"Stays Up", -1},
             {"13:00 PM", -1},   {"00:30 AM", -1},    {"07:60 PM", -1},   {"07:13 XM", -1},
             {"07:13 PMX", -1},  {"7:13 PM", -1},
         }) {
        const auto got = clockMinuteOfDay(c.text, english);
        if (c.minute < 0)
            EXPECT_FALSE(got.has_value()) << '"' << c.text << '"';
        else
            EXPECT_EQ(got, std::optional<int>(c.minute)) << '"' << c.text << '"';
    }
    // A window passes its locale's designators; the texts carry those.
    ClockDesignators german;
    german.am = "vorm.";
    german.pm = "nachm.";
    EXPECT_EQ(clockMinuteOfDay("07:13 nachm.", german), std::optional<int>(1153));
    EXPECT_EQ(clockMinuteOfDay("07:13 vorm.", german), std::optional<int>(433));
    EXPECT_FALSE(clockMinuteOfDay("07:13 PM", german).has_value());
    // A locale without designators writes the same word for both: unreadable.
    ClockDesignators none;
    none.am = "";
    none.pm = "";
    EXPECT_FALSE(clockMinuteOfDay("07:13 ", none).has_value());
}

// The local time of a computed day in seconds since 1970 by the C library.
std::int64_t utcByTheCLibrary(Date d, int minuteOfDay, double zoneHours) {
    std::tm tm{};
    tm.tm_year = d.year() - 1900;
    tm.tm_mon = d.month() - 1;
    tm.tm_mday = d.day();
    tm.tm_min = minuteOfDay;
    return static_cast<std::int64_t>(timegm(&tm)) - std::llround(zoneHours * 3600);
}

TEST(IcsUtc, EventsAtTheInstantsTheCoreComputedInWholeAndHalfHourZones) {
    struct Row {
        const char* name;
        Date date;
        const char* zone;
        const char* negated;
    };
    for (const Row& r : std::vector<Row>{
             {"Sydney", ymd(2027, 6, 1), "10", "-10"},
             {"Darwin half-hour zone", ymd(2000, 2, 29), "9.5", "-9.5"},
             {"Newfoundland negative half hour", ymd(2027, 3, 1), "-3.5", "3.5"},
             {"Kiribati +13", ymd(1901, 1, 1), "13", "-13"},
         }) {
        SolunarState s = sydneyIn(r.zone, r.negated);
        setDateControls(s, r.date);
        computeDisplayedDay(s);
        std::vector<IcsEvent> events;
        appendDayEvents(s, r.date, IcsEventSet{false, false, false, true, false}, "K", events);
        ASSERT_EQ(events.size(), 2u) << r.name;
        const int minute = clockMinuteOfDay(s.Text2, s.designators).value();
        EXPECT_EQ(events[0].startUtc, utcByTheCLibrary(r.date, minute, std::stod(r.zone)))
            << r.name;
    }
}

TEST(IcsUtc, ASunsetInTheDaysLastHalfMinuteIsAtTheNextMidnight) {
    // Reykjavik, 15 June 2025, GMT: the box reads "12:00 AM" as the clock
    // rounds the sunset; the event is at 16 June 00:00 UTC, not 15 June.
    SolunarState s;
    s.latitude = 64 + 8 / 60.0;
    s.longitude = -(21 + 56 / 60.0);
    setDateControls(s, ymd(2025, 6, 15));
    computeDisplayedDay(s);
    ASSERT_EQ(s.Text32, "12:00 AM");
    std::vector<IcsEvent> events;
    appendDayEvents(s, ymd(2025, 6, 15), IcsEventSet{false, false, false, true, false}, "K",
                    events);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].kind, IcsKind::Sunset);
    EXPECT_EQ(events[1].startUtc, 1750032000);  // date -u -d '2025-06-16 00:00' +%s
    EXPECT_NE(events[1].description.find("Sunset at 12:00 AM (GMT+0)"), std::string::npos)
        << events[1].description;
}

TEST(IcsPlaceKey, TheSameSpotGivesTheSameKeyHoweverItWasEntered) {
    EXPECT_EQ(icsPlaceKey(-(33 + 52 / 60.0), 151 + 13 / 60.0), "3352S15113E");
    EXPECT_EQ(icsPlaceKey(-33.866667, 151.216667), "3352S15113E");
    EXPECT_EQ(icsPlaceKey(41.5, -70.25), "4130N07015W");
    EXPECT_EQ(icsPlaceKey(0, 0), "0000N00000E");
    EXPECT_EQ(icsPlaceKey(-0.0001, -0.0001), "0000N00000E");  // rounds to no hemisphere
    EXPECT_EQ(icsPlaceKey(89 + 59.6 / 60, -(179 + 59.6 / 60)), "9000N18000W");
    EXPECT_NE(icsPlaceKey(-33.87, 151.2), icsPlaceKey(-33.85, 151.2));
}

TEST(IcsDayEvents, EachBoxWithATimeGivesItsEventAndOthersNone) {
    SolunarState s = sydneyDay(ymd(2027, 6, 1));
    IcsEventSet all{true, true, true, true, true};
    std::vector<IcsEvent> events;
    appendDayEvents(s, ymd(2027, 6, 1), all, "KEY", events);
    // 1 June 2027 at Sydney: every box holds a time, and no phase event.
    EXPECT_EQ(kindsOf(events),
              (std::vector<IcsKind>{IcsKind::Rating, IcsKind::Sunrise, IcsKind::Sunset,
                                    IcsKind::MajorAbove, IcsKind::MajorBelow, IcsKind::MinorRise,
                                    IcsKind::MinorSet}));
    EXPECT_EQ(events[0].summary, "Fishing: " + s.predictionWord.str());
    EXPECT_TRUE(events[0].allDay);
    EXPECT_EQ(events[3].uid, "20270601-major-above-KEY@moonbite");
    // The Moon event sits an hour after the period's start, in local time.
    EXPECT_NE(events[3].description.find("from " + s.Text4.str()), std::string::npos);

    // The boxes of a day the periods cannot be computed, and blank ones.
    s.Text4 = "Can't Calc";
    s.Text5 = "Can't Calc";
    s.Text7 = "     ";
    s.Text8 = "";
    s.Text2 = "No sunrise";
    events.clear();
    appendDayEvents(s, ymd(2027, 6, 1), all, "KEY", events);
    EXPECT_EQ(kindsOf(events), (std::vector<IcsKind>{IcsKind::Rating, IcsKind::Sunset}));

    // Only what was asked for.
    s = sydneyDay(ymd(2027, 6, 1));
    events.clear();
    appendDayEvents(s, ymd(2027, 6, 1), IcsEventSet{false, true, false, false, false}, "KEY",
                    events);
    EXPECT_EQ(kindsOf(events), (std::vector<IcsKind>{IcsKind::MinorRise, IcsKind::MinorSet}));
}

TEST(IcsDayEvents, NewAndFullMoonsAtTheirTimeWithTheDaysZone) {
    // 19 June 2027 holds the full moon at Sydney; the time is read with the
    // zone the day was computed in, here changed to 9.5 to show it is read per day.
    SolunarState s = sydneyIn("9.5", "-9.5");
    setDateControls(s, ymd(2027, 6, 19));
    computeDisplayedDay(s);
    ASSERT_TRUE(s.Label14.visible);
    ASSERT_EQ(s.Label14.caption, "Full Moon");
    std::vector<IcsEvent> events;
    appendDayEvents(s, ymd(2027, 6, 19), IcsEventSet{false, false, true, false, false}, "K",
                    events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].summary, "Full Moon");
    EXPECT_EQ(events[0].durationSeconds, 0);
    const int minute = clockMinuteOfDay(s.Label18.caption, s.designators).value();
    EXPECT_EQ(events[0].startUtc, utcByTheCLibrary(ymd(2027, 6, 19), minute, 9.5));
}

TEST(IcsRangeEvents, MinScoreDropsWholeDaysAndEachDayIsComputedAfresh) {
    const SolunarState fresh = sydneyIn("10", "-10");
    std::vector<int> scores;
    auto compute = [&](SolunarState& s, Date d) {
        EXPECT_EQ(s.graphRowCount, 0) << "the state carries an earlier day";
        setDateControls(s, d);
        computeDisplayedDay(s);
        scores.push_back(s.predictionScore);
    };
    IcsRange range;
    range.from = ymd(2027, 3, 1);
    range.days = 60;
    range.kinds = IcsEventSet{false, false, false, false, true};
    range.minScore = 66;
    range.placeKey = "K";
    const auto events = rangeEvents(fresh, range, compute);
    ASSERT_EQ(scores.size(), 60u);
    std::size_t good = 0;
    for (int v : scores)
        good += v >= 66 ? 1 : 0;
    EXPECT_GT(good, 0u);
    EXPECT_LT(good, scores.size());
    EXPECT_EQ(events.size(), good);
    for (const IcsEvent& e : events)
        EXPECT_TRUE(e.summary == "Fishing: Good" || e.summary == "Fishing: Excellent") << e.summary;
}

// The file's physical lines: each ends with CR LF and holds at most 75 octets,
// and a fold never cuts a UTF-8 character.
void expectFraming(const std::string& text) {
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a bare LF: " << line;
        const std::size_t firstContent = line.rfind(' ', 0) == 0 ? 1 : 0;
        if (firstContent < line.size()) {
            EXPECT_NE(static_cast<unsigned char>(line[firstContent]) & 0xC0, 0x80)
                << "a fold cut a character: " << line;
        }
        start = end + 2;
    }
}

TEST(IcsStream, DayByDayTextEqualsTheWholeCalendarAndStopsWhenTold) {
    const SolunarState fresh = sydneyIn("10", "-10");
    auto compute = [](SolunarState& s, Date d) {
        setDateControls(s, d);
        computeDisplayedDay(s);
    };
    IcsRange range;
    range.from = ymd(2027, 6, 1);
    range.days = 40;
    range.kinds = IcsEventSet{true, true, true, true, true};
    range.minScore = 33;
    range.placeKey = "3352S15113E";
    IcsCalendar whole;
    whole.stampUtc = 1'800'000'000;
    whole.events = rangeEvents(fresh, range, compute);
    ASSERT_GT(whole.events.size(), 40u);

    std::string streamed;
    int pieces = 0;
    EXPECT_TRUE(writeRangeIcs(whole, fresh, range, compute, [&](std::string_view t) {
        streamed += t;
        ++pieces;
        return true;
    }));
    EXPECT_EQ(streamed, icsText(whole));
    EXPECT_GT(pieces, 20) << "handed over day by day, not at the end";

    // A sink that fails (a full disk) ends the writing there.
    int calls = 0;
    EXPECT_FALSE(
        writeRangeIcs(whole, fresh, range, compute, [&](std::string_view) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
}

TEST(IcsText, FoldedLinesUtcTimesAndTextsReadBackByLibical) {
    IcsCalendar cal;
    cal.stampUtc = 1'800'000'000;
    IcsEvent timed;
    timed.kind = IcsKind::MajorAbove;
    timed.date = ymd(2027, 6, 1);
    timed.startUtc = 1811798280;  // 2027-06-01 07:18 +10:00
    timed.durationSeconds = 7200;
    timed.uid = "20270601-major-above-3352S15113E@moonbite";
    timed.summary = "Major period: Moon above";
    // Long, with commas, a semicolon and locale designators in UTF-8.
    // (libical's reader drops a trailing blank, so the text ends without one.)
    timed.description = "07:18 午前, Mondaufgang";
    for (int i = 0; i < 11; ++i)
        timed.description += "; 07:18 午前, Mondaufgang";
    timed.category = "Major period";
    IcsEvent allDay;
    allDay.kind = IcsKind::Rating;
    allDay.date = ymd(2027, 12, 31);
    allDay.allDay = true;
    allDay.uid = "20271231-rating-3352S15113E@moonbite";
    allDay.summary = "Fishing: Excellent";
    allDay.category = "Fishing prediction";
    IcsEvent instant = timed;
    instant.kind = IcsKind::NewMoon;
    instant.durationSeconds = 0;
    instant.uid = "x-new-moon@moonbite";
    instant.description.clear();
    cal.events = {timed, allDay, instant};

    const std::string text = icsText(cal);
    expectFraming(text);
    EXPECT_EQ(text.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\nVERSION:2.0\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPRODID:"), std::string::npos);

    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    ASSERT_NE(parsed, nullptr);
    std::vector<icalcomponent*> events;
    for (icalcomponent* ev = icalcomponent_get_first_component(parsed, ICAL_VEVENT_COMPONENT);
         ev != nullptr; ev = icalcomponent_get_next_component(parsed, ICAL_VEVENT_COMPONENT))
        events.push_back(ev);
    ASSERT_EQ(events.size(), 3u);
    const icaltimetype start = icalcomponent_get_dtstart(events[0]);
    EXPECT_TRUE(icaltime_is_utc(start));
    EXPECT_EQ(icaltime_as_timet_with_zone(start, icaltimezone_get_utc_timezone()), timed.startUtc);
    EXPECT_EQ(icaltime_as_timet_with_zone(icalcomponent_get_dtend(events[0]),
                                          icaltimezone_get_utc_timezone()),
              timed.startUtc + 7200);
    EXPECT_EQ(std::string(icalcomponent_get_description(events[0])), timed.description);
    EXPECT_EQ(std::string(icalcomponent_get_uid(events[0])), timed.uid);
    const icaltimetype day = icalcomponent_get_dtstart(events[1]);
    EXPECT_TRUE(day.is_date);
    EXPECT_EQ(day.year * 10000 + day.month * 100 + day.day, 20271231);
    const icaltimetype dayEnd = icalcomponent_get_dtend(events[1]);
    EXPECT_EQ(dayEnd.year * 10000 + dayEnd.month * 100 + dayEnd.day, 20280101);
    EXPECT_EQ(icalcomponent_get_first_property(events[2], ICAL_DTEND_PROPERTY), nullptr);
    icalcomponent_free(parsed);
}

TEST(IcsText, AnEmptyCalendarIsStillACalendar) {
    const std::string text = icsText(IcsCalendar{});
    expectFraming(text);
    icalcomponent* parsed = icalparser_parse_string(text.c_str());
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(icalcomponent_isa(parsed), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalcomponent_count_components(parsed, ICAL_VEVENT_COMPONENT), 0);
    icalcomponent_free(parsed);
}

TEST(IcsText, DefaultFileName) {
    EXPECT_EQ(defaultIcsFileName(2027, 6), "Moonbite June 2027.ics");
    EXPECT_EQ(defaultIcsFileName(1901, 12), "Moonbite December 1901.ics");
}

}  // namespace
}  // namespace moonbite
