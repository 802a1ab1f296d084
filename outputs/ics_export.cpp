#include "ics_export.h"

#include <libical/ical.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "calendar_time.h"

namespace moonbite {
namespace {

constexpr int kPeriodSeconds = 2 * 3600;

struct KindText {
    const char* uidPart;
    const char* summary;
    const char* category;
};

KindText kindText(IcsKind kind) {
    switch (kind) {
        case IcsKind::Rating:
            return {"rating", "Fishing: ", "Fishing prediction"};
        case IcsKind::Sunrise:
            return {"sunrise", "Sunrise", "Sun"};
        case IcsKind::Sunset:
            return {"sunset", "Sunset", "Sun"};
        case IcsKind::MajorAbove:
            return {"major-above", "Major period: Moon above", "Major period"};
        case IcsKind::MajorBelow:
            return {"major-below", "Major period: Moon below", "Major period"};
        case IcsKind::MinorRise:
            return {"minor-rise", "Minor period: Moon below", "Minor period"};
        case IcsKind::MinorSet:
            return {"minor-set", "Minor period: Moon above", "Minor period"};
        case IcsKind::NewMoon:
            return {"new-moon", "New Moon", "Moon phase"};
        case IcsKind::FullMoon:
            return {"full-moon", "Full Moon", "Moon phase"};
        case IcsKind::HighWater:
            return {"high-water", "High water", "Tide"};
        case IcsKind::LowWater:
            return {"low-water", "Low water", "Tide"};
    }
    return {"event", "", ""};
}

std::string compactDate(Date d) {
    const YearMonthDay ymd = d.ymd();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
    return buf;
}

// "GMT+10", "GMT-5", "GMT+9:30": the zone the local times in a description are in.
std::string zoneLabel(int minutesEast) {
    const int a = std::abs(minutesEast);
    char buf[24];
    if (a % 60 == 0)
        std::snprintf(buf, sizeof buf, "GMT%c%d", minutesEast < 0 ? '-' : '+', a / 60);
    else
        std::snprintf(buf, sizeof buf, "GMT%c%d:%02d", minutesEast < 0 ? '-' : '+', a / 60, a % 60);
    return buf;
}

std::string localClock(int minuteOfDay, const ClockDesignators& designators) {
    Text t;
    formatClock(t, minuteOfDay, designators);
    return t.str();
}

struct DayContext {
    const SolunarState& s;
    Date date;
    std::string_view placeKey;
    std::string ratingLine;
    std::vector<IcsEvent>& out;

    IcsEvent& add(IcsKind kind) {
        IcsEvent& e = out.emplace_back();
        const KindText t = kindText(kind);
        e.kind = kind;
        e.date = date;
        e.uid = compactDate(date) + "-" + t.uidPart + "-" + std::string(placeKey) + "@moonbite";
        e.summary = t.summary;
        e.category = t.category;
        return e;
    }

    // An instant or a period from a box of the day at the instant the core
    // computed for it (a rise in the day's last half minute reads "12:00 AM"
    // but lies at the next midnight); nothing when the box holds no time.
    void timed(IcsKind kind, std::string_view box, Instant at, int duration,
               const std::string& what) {
        if (at == kNoInstant || !clockMinuteOfDay(box, s.designators)) return;
        // A box may show the next day's period (on a day without the Moon
        // event, the window shows the one to come); that day writes it. A rise
        // or set rounded to the next midnight still belongs to this day.
        const ClockDay day = clockDay(s, date);
        if (at < day.begin || at > day.end || (duration > 0 && at == day.end)) return;
        IcsEvent& e = add(kind);
        e.startUtc = at - kUnixEpochInstant;
        e.durationSeconds = duration;
        // The local times in the offset in force at the start (a period may
        // run across a clock change; its times are read each by its own).
        auto local = [&](Instant t) {
            return localClock(static_cast<int>(clockReading(s, t) % kSecondsPerDay / 60),
                              s.designators);
        };
        const int zone = static_cast<int>(zoneSeconds(hoursAt(s, at)) / 60);
        const std::string zoneText = " (" + zoneLabel(zone) + ")";
        if (duration == 0) {
            e.description = what + " at " + local(at) + zoneText + ". ";
        } else {
            // The boxes show when a period starts; its Moon event is an hour later.
            e.description = e.summary + " from " + local(at) + " to " + local(at + duration) +
                            zoneText + ", " + what + " at " + local(at + 3600) + ". ";
        }
        e.description += ratingLine;
    }
};

struct IcalFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, IcalFree>;

icaltimetype utcTime(std::int64_t seconds) {
    return icaltime_from_timet_with_zone(static_cast<time_t>(seconds), 0,
                                         icaltimezone_get_utc_timezone());
}

icaltimetype allDayDate(Date d) {
    const YearMonthDay ymd = d.ymd();
    icaltimetype t = icaltime_null_date();
    t.year = ymd.year;
    t.month = ymd.month;
    t.day = ymd.day;
    return t;
}

// libical reports failures through its error state; a null component is one.
void check(const void* made, const char* what) {
    if (made == nullptr) {
        throw std::runtime_error(std::string("libical could not make ") + what + ": " +
                                 icalerror_strerror(icalerrno));
    }
}

void addTo(icalcomponent* c, icalproperty* p, const char* what) {
    check(p, what);
    icalcomponent_add_property(c, p);
}

}  // namespace

std::optional<int> clockMinuteOfDay(std::string_view text, const ClockDesignators& designators) {
    // "hh:mm " and the designator, as formatClock writes it.
    if (text.size() < 7 || text[2] != ':' || text[5] != ' ') return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[3] - '0') * 10 + (text[4] - '0');
    if (hour < 1 || hour > 12 || minute > 59) return std::nullopt;
    const std::string_view designator = text.substr(6);
    const bool am = designator == designators.am.view();
    const bool pm = designator == designators.pm.view();
    if (am == pm) return std::nullopt;  // neither, or a locale with one word for both
    return (hour % 12 + (pm ? 12 : 0)) * 60 + minute;
}

std::string icsPlaceKey(double latitude, double longitude) {
    auto part = [](double v, char positive, char negative, int width) {
        const long minutes = std::lround(std::fabs(v) * 60);
        char buf[24];
        std::snprintf(buf, sizeof buf, "%0*ld%02ld%c", width, minutes / 60, minutes % 60,
                      v < 0 && minutes != 0 ? negative : positive);
        return std::string(buf);
    };
    return part(latitude, 'N', 'S', 2) + part(longitude, 'E', 'W', 3);
}

void appendDayEvents(const SolunarState& s, Date date, const IcsEventSet& kinds,
                     std::string_view placeKey, std::vector<IcsEvent>& out) {
    DayContext day{s, date, placeKey,
                   "Fishing prediction for the day: " + s.predictionWord.str() + ".", out};
    if (kinds.rating && !s.predictionWord.view().empty()) {
        IcsEvent& e = day.add(IcsKind::Rating);
        e.allDay = true;
        e.summary += s.predictionWord.str();
        e.description = day.ratingLine;
    }
    if (kinds.sun) {
        day.timed(IcsKind::Sunrise, s.Text2, s.Text2At, 0, "Sunrise");
        day.timed(IcsKind::Sunset, s.Text32, s.Text32At, 0, "Sunset");
    }
    if (kinds.majors) {
        day.timed(IcsKind::MajorAbove, s.Text4, s.Text4At, kPeriodSeconds, "the Moon overhead");
        day.timed(IcsKind::MajorBelow, s.Text5, s.Text5At, kPeriodSeconds, "the Moon underfoot");
    }
    if (kinds.minors) {
        // Text8 holds the period around moonrise, Text7 the one around moonset.
        day.timed(IcsKind::MinorRise, s.Text8, s.Text8At, kPeriodSeconds, "moonrise");
        day.timed(IcsKind::MinorSet, s.Text7, s.Text7At, kPeriodSeconds, "moonset");
    }
    if (kinds.phases && s.Label14.visible && s.Label18.visible) {
        if (s.Label14.caption == "New Moon")
            day.timed(IcsKind::NewMoon, s.Label18.caption, s.Label18At, 0, "New Moon");
        else if (s.Label14.caption == "Full Moon")
            day.timed(IcsKind::FullMoon, s.Label18.caption, s.Label18At, 0, "Full Moon");
    }
}

void appendTideEvents(const SolunarState& s, Date date, const IcsRange& range,
                      std::vector<IcsEvent>& out) {
    if (!range.kinds.tides || !range.tidesOf) return;
    DayContext day{s, date, range.placeKey, std::string(), out};
    for (const IcsTide& t : range.tidesOf(s, date)) {
        const Instant at = t.startUtc + kUnixEpochInstant;
        const int minute = static_cast<int>(clockReading(s, at) % kSecondsPerDay / 60);
        IcsEvent& e = day.add(t.high ? IcsKind::HighWater : IcsKind::LowWater);
        // Two highs a day: the local minute tells them apart, run after run.
        char hhmm[8];
        std::snprintf(hhmm, sizeof hhmm, "%02d%02d", minute / 60, minute % 60);
        e.uid = compactDate(date) + "-" + kindText(e.kind).uidPart + "-" + hhmm + "-" +
                range.placeKey + "@moonbite";
        e.startUtc = t.startUtc;
        char height[32];
        std::snprintf(height, sizeof height, "%.2f m", t.metres);
        e.summary += std::string(" ") + height;
        const int zone = static_cast<int>(zoneSeconds(hoursAt(s, at)) / 60);
        e.description = e.summary + " at " + localClock(minute, s.designators) + " (" +
                        zoneLabel(zone) + "). " + range.tideNote;
    }
}

std::vector<IcsEvent> rangeEvents(const SolunarState& fresh, const IcsRange& range,
                                  const std::function<void(SolunarState&, Date)>& computeDay) {
    std::vector<IcsEvent> events;
    events.reserve(static_cast<std::size_t>(range.days) * 4);
    for (int i = 0; i < range.days; ++i) {
        SolunarState s = fresh;
        const Date date = range.from + i;
        computeDay(s, date);
        if (s.predictionScore < range.minScore) continue;
        appendDayEvents(s, date, range.kinds, range.placeKey, events);
        appendTideEvents(s, date, range, events);
    }
    return events;
}

namespace {

// The calendar's own lines: its text without the closing line.
std::string calendarOpening(const IcsCalendar& calendar) {
    Component cal(icalcomponent_new_vcalendar());
    check(cal.get(), "a calendar");
    addTo(cal.get(), icalproperty_new_version("2.0"), "VERSION");
    addTo(cal.get(), icalproperty_new_prodid("-//Moonbite//Moonbite fishing times//EN"), "PRODID");
    addTo(cal.get(), icalproperty_new_calscale("GREGORIAN"), "CALSCALE");
    icalproperty* name = icalproperty_new_x(calendar.name.c_str());
    check(name, "X-WR-CALNAME");
    icalproperty_set_x_name(name, "X-WR-CALNAME");
    icalcomponent_add_property(cal.get(), name);
    char* text = icalcomponent_as_ical_string_r(cal.get());
    check(text, "the calendar text");
    std::string result(text);
    icalmemory_free_buffer(text);
    constexpr std::string_view kEnd = "END:VCALENDAR\r\n";
    if (result.size() < kEnd.size() ||
        result.compare(result.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
        throw std::runtime_error("libical wrote an unexpected calendar text");
    result.resize(result.size() - kEnd.size());
    return result;
}

constexpr std::string_view kCalendarEnd = "END:VCALENDAR\r\n";

// One event's text, as it stands inside the calendar.
std::string eventText(const IcsEvent& e, const icaltimetype& stamp) {
    Component ev(icalcomponent_new_vevent());
    check(ev.get(), "an event");
    addTo(ev.get(), icalproperty_new_uid(e.uid.c_str()), "UID");
    addTo(ev.get(), icalproperty_new_dtstamp(stamp), "DTSTAMP");
    if (e.allDay) {
        addTo(ev.get(), icalproperty_new_dtstart(allDayDate(e.date)), "DTSTART");
        addTo(ev.get(), icalproperty_new_dtend(allDayDate(e.date + 1)), "DTEND");
    } else {
        addTo(ev.get(), icalproperty_new_dtstart(utcTime(e.startUtc)), "DTSTART");
        // An instant has no end: DTEND must lie after DTSTART.
        if (e.durationSeconds > 0)
            addTo(ev.get(), icalproperty_new_dtend(utcTime(e.startUtc + e.durationSeconds)),
                  "DTEND");
    }
    addTo(ev.get(), icalproperty_new_summary(e.summary.c_str()), "SUMMARY");
    if (!e.description.empty())
        addTo(ev.get(), icalproperty_new_description(e.description.c_str()), "DESCRIPTION");
    addTo(ev.get(), icalproperty_new_categories(e.category.c_str()), "CATEGORIES");
    // Fishing times never make the user look busy.
    addTo(ev.get(), icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT), "TRANSP");
    char* text = icalcomponent_as_ical_string_r(ev.get());
    check(text, "the event text");
    std::string result(text);
    icalmemory_free_buffer(text);
    return result;
}

}  // namespace

std::string icsText(const IcsCalendar& calendar) {
    std::string result = calendarOpening(calendar);
    const icaltimetype stamp = utcTime(calendar.stampUtc);
    for (const IcsEvent& e : calendar.events)
        result += eventText(e, stamp);
    result += kCalendarEnd;
    return result;
}

bool writeRangeIcs(const IcsCalendar& calendar, const SolunarState& fresh, const IcsRange& range,
                   const std::function<void(SolunarState&, Date)>& computeDay,
                   const IcsSink& sink) {
    if (!sink(calendarOpening(calendar))) return false;
    const icaltimetype stamp = utcTime(calendar.stampUtc);
    std::vector<IcsEvent> events;
    std::string text;
    for (int i = 0; i < range.days; ++i) {
        SolunarState s = fresh;
        const Date date = range.from + i;
        computeDay(s, date);
        if (s.predictionScore < range.minScore) continue;
        events.clear();
        appendDayEvents(s, date, range.kinds, range.placeKey, events);
        appendTideEvents(s, date, range, events);
        text.clear();
        for (const IcsEvent& e : events)
            text += eventText(e, stamp);
        if (!text.empty() && !sink(text)) return false;
    }
    return sink(kCalendarEnd);
}

std::string defaultIcsFileName(int year, int month) {
    return "Moonbite " + std::string(englishMonthName(month)) + " " + std::to_string(year) + ".ics";
}

}  // namespace moonbite
