// The displayed date's moonrise and moonset and the start times of the two
// major and two minor fishing periods.
#include "solunar_day.h"

namespace moonbite {
namespace {

// Date-times are whole seconds from the zero date: every time here is a whole
// minute and every span an even number of seconds, so halving is exact.
using Seconds = std::int64_t;
constexpr Seconds kDay = 86400;
constexpr Seconds kHour = 3600;

Seconds at(Date d, Seconds timeOfDay) {
    return static_cast<Seconds>(d.serial()) * kDay + timeOfDay;
}

Seconds dateValue(Seconds t) {
    return (t >= 0 ? t : t - (kDay - 1)) / kDay;
}

Seconds timeValue(Seconds t) {
    return t - dateValue(t) * kDay;
}

// Reads a clock text "   19 : 13" back as a time of day; an empty text
// (before the first event was ever found) is midnight.
Seconds clockTextTime(std::string_view text) {
    const double hour = Val(text);
    const std::size_t colon = text.find(':');
    const double minute = colon == std::string_view::npos ? 0 : Val(text.substr(colon + 1));
    return static_cast<Seconds>(hour) * kHour + static_cast<Seconds>(minute) * 60;
}

// The periods are worked out on instants (so a midpoint across a clock change
// is the true one) and compared and shown by the clock reading at each
// instant. Without a change near the displayed date the offset is one number.
class Clock {
  public:
    Clock(const SolunarState& s, Date displayed) : s_(s) {
        if (s.zoneRule == nullptr) {
            fixed_ = zoneSeconds(-Val(s.timeZoneForComputations));
            return;
        }
        const double h = s.zoneRule->hoursOn(displayed);
        for (int d = -2; d <= 2; ++d)
            if (s.zoneRule->hoursOn(displayed + d) != h) return;
        fixed_ = zoneSeconds(h);
    }
    [[nodiscard]] Seconds reading(Seconds t) const {
        return t + (fixed_ != kNoInstant ? fixed_ : zoneSeconds(s_.zoneRule->hoursAt(t)));
    }
    [[nodiscard]] Seconds date(Seconds t) const { return dateValue(reading(t)); }
    [[nodiscard]] Seconds time(Seconds t) const { return timeValue(reading(t)); }
    // The instant of a clock text placed on a day, in the zone it was read with.
    [[nodiscard]] Seconds instant(Date day, std::string_view clock, Instant clockZone) const {
        Instant zone = fixed_;
        if (zone == kNoInstant)
            zone = clockZone != kNoInstant ? clockZone : zoneSeconds(s_.zoneRule->hoursOn(day));
        return at(day, clockTextTime(clock)) - zone;
    }

  private:
    const SolunarState& s_;
    Instant fixed_ = kNoInstant;
};

void formatTimeOfDay(Text& out, Seconds reading, const ClockDesignators& designators) {
    formatClock(out, static_cast<int>(timeValue(reading) / 60), designators);
}

constexpr std::string_view kFiveBlanks = "     ";
constexpr std::string_view kFifteenBlanks = "               ";

// A major period starts one hour before the midpoint of an event (from) and
// the partner event that follows it (to), for days 0, 1, 2. When the partner
// comes earlier in the displayed day (crossesMidnight), the next day's partner
// is tried and, if that lands on the next day, the day before's event; a start
// that then falls on the day before is blank.
Seconds majorPeriodStart(const Clock& clock, const Seconds (&from)[4], const Seconds (&to)[4],
                         bool crossesMidnight, bool noPartnerToday, bool& blank) {
    if (crossesMidnight) {
        Seconds span = to[2] - from[1];
        Seconds start = from[1] + span / 2 - kHour;
        if (clock.date(start) > clock.date(from[1])) {
            span = to[1] - from[0];
            start = from[0] + span / 2 - kHour;
            if (clock.date(start) < clock.date(from[1])) blank = true;
        }
        return start;
    }
    Seconds span = to[1] - from[1];
    if (noPartnerToday) span = to[2] - from[1];
    return from[1] + span / 2 - kHour;
}

// A minor period starts 60 minutes before the event (the next day's when the
// box says there is none today); blank when that is the day before, unless the
// next day's event comes in its first hour and so starts late today.
Seconds minorPeriodStart(const Clock& clock, const Seconds (&event)[4], bool noneToday,
                         bool& blank) {
    Seconds start = noneToday ? event[2] - kHour : event[1] - kHour;
    if (clock.date(start) < clock.date(event[1])) blank = true;
    if (clock.time(event[1]) > 0 && clock.time(event[2]) < kHour) {
        start = event[2] - kHour;
        blank = false;
    }
    return start;
}

// A period's start into its box and its stored text; five blanks in the box
// and fifteen in the text when it does not start on the displayed date.
void showPeriod(const Clock& clock, Text& box, Instant& boxAt, Text& stored, Seconds start,
                bool blank, const ClockDesignators& d) {
    const Seconds reading = clock.reading(start);
    formatTimeOfDay(stored, reading, d);
    box = stored;
    boxAt = start - timeValue(reading) % 60;  // the whole minute the box shows
    if (blank) {
        box = kFiveBlanks;
        boxAt = kNoInstant;
        stored = kFifteenBlanks;
    }
}

}  // namespace

void majorminor(SolunarState& s) {
    Seconds rise[4] = {};
    Seconds set[4] = {};
    bool noRise[4] = {};
    bool noSet[4] = {};
    bool stays[4] = {};

    const Date displayed = parseDateText(s.displayedDateText).value_or(s.computationDate);
    const Clock clock(s, displayed);
    for (s.dai = 0; s.dai <= 2; ++s.dai) {
        const auto i = static_cast<std::size_t>(s.dai);
        s.computationDate = displayed;
        s.eventDay = s.computationDate + (s.dai - 1);
        s.computationDate = s.eventDay;
        moonriseset(s);
        rise[i] = clock.instant(s.eventDay, s.riseClockText, s.riseClockZone);
        set[i] = clock.instant(s.eventDay, s.setClockText, s.setClockZone);
        noSet[i] = s.nomoonset;
        noRise[i] = s.nomoon;
        stays[i] = s.special;
        s.nomoonset = false;
        s.nomoon = false;
        s.special = false;
    }

    if (stays[1]) return;  // the boxes keep what moonriseset wrote
    formatTimeOfDay(s.moonriseText, clock.reading(rise[1]), s.designators);
    s.Text21 = noRise[1] ? std::string_view("No moonrise") : s.moonriseText.view();
    formatTimeOfDay(s.moonsetText, clock.reading(set[1]), s.designators);
    s.Text39 = noSet[1] ? std::string_view("No moonset") : s.moonsetText.view();

    // The Moon above: from a moonrise to the following moonset; the Moon below:
    // from a moonset to the following moonrise.
    bool majorAboveBlank = false;
    const Seconds aboveStart = majorPeriodStart(
        clock, rise, set, clock.time(rise[1]) > clock.time(set[1]), noSet[1], majorAboveBlank);
    bool minorRiseBlank = false;
    s.minorStart = minorPeriodStart(clock, rise, s.Text21 == "No moonrise", minorRiseBlank);
    showPeriod(clock, s.Text8, s.Text8At, s.minorRiseText, s.minorStart, minorRiseBlank,
               s.designators);
    showPeriod(clock, s.Text4, s.Text4At, s.majorAboveText, aboveStart, majorAboveBlank,
               s.designators);

    bool majorBelowBlank = false;
    const Seconds belowStart = majorPeriodStart(
        clock, set, rise, clock.time(set[1]) > clock.time(rise[2]), noRise[1], majorBelowBlank);
    bool minorSetBlank = false;
    s.minorStart = minorPeriodStart(clock, set, s.Text39 == "No moonset", minorSetBlank);
    showPeriod(clock, s.Text7, s.Text7At, s.minorSetText, s.minorStart, minorSetBlank,
               s.designators);
    showPeriod(clock, s.Text5, s.Text5At, s.majorBelowText, belowStart, majorBelowBlank,
               s.designators);
}

}  // namespace moonbite
