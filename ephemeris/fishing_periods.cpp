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

void formatTimeOfDay(Text& out, Seconds t, const ClockDesignators& designators) {
    formatClock(out, static_cast<int>(timeValue(t) / 60), designators);
}

constexpr std::string_view kFiveBlanks = "     ";
constexpr std::string_view kFifteenBlanks = "               ";

}  // namespace

void majorminor(SolunarState& s) {
    Seconds rise[4] = {};
    Seconds set[4] = {};
    bool noRise[4] = {};
    bool noSet[4] = {};
    bool stays[4] = {};

    const Date displayed = parseDateText(s.displayedDateText).value_or(s.computationDate);
    for (s.dai = 0; s.dai <= 2; ++s.dai) {
        const auto i = static_cast<std::size_t>(s.dai);
        s.computationDate = displayed;
        s.eventDay = s.computationDate + (s.dai - 1);
        s.computationDate = s.eventDay;
        moonriseset(s);
        rise[i] = at(s.eventDay, clockTextTime(s.riseClockText));
        set[i] = at(s.eventDay, clockTextTime(s.setClockText));
        noSet[i] = s.nomoonset;
        noRise[i] = s.nomoon;
        stays[i] = s.special;
        s.nomoonset = false;
        s.nomoon = false;
        s.special = false;
    }

    if (stays[1]) return;  // the boxes keep what moonriseset wrote
    formatTimeOfDay(s.moonriseText, rise[1], s.designators);
    s.Text21 = noRise[1] ? std::string_view("No moonrise") : s.moonriseText.view();
    formatTimeOfDay(s.moonsetText, set[1], s.designators);
    s.Text39 = noSet[1] ? std::string_view("No moonset") : s.moonsetText.view();

    bool majorAboveBlank = false;
    bool minorRiseBlank = false;
    bool majorBelowBlank = false;
    bool minorSetBlank = false;

    // Major period with the Moon above: one hour before the midpoint of a
    // moonrise and the following moonset.
    Seconds aboveStart = 0;
    if (timeValue(rise[1]) > timeValue(set[1])) {
        Seconds span = set[2] - rise[1];
        aboveStart = rise[1] + span / 2 - kHour;
        if (dateValue(aboveStart) > dateValue(rise[1])) {
            span = set[1] - rise[0];
            aboveStart = rise[0] + span / 2 - kHour;
            if (dateValue(aboveStart) < dateValue(rise[1])) majorAboveBlank = true;
        }
    } else {
        Seconds span = set[1] - rise[1];
        if (noSet[1]) span = set[2] - rise[1];
        aboveStart = rise[1] + span / 2 - kHour;
    }

    // Minor period at the moonrise.
    s.minorStart = s.Text21 == "No moonrise" ? rise[2] - kHour : rise[1] - kHour;
    if (dateValue(s.minorStart) < dateValue(rise[1])) minorRiseBlank = true;
    if (timeValue(rise[1]) > 0 && timeValue(rise[2]) < kHour) {
        s.minorStart = rise[2] - kHour;  // the next day's period starts late today
        minorRiseBlank = false;
    }
    formatTimeOfDay(s.minorRiseText, s.minorStart, s.designators);
    s.Text8 = s.minorRiseText;
    formatTimeOfDay(s.majorAboveText, aboveStart, s.designators);
    s.Text4 = s.majorAboveText;
    if (majorAboveBlank) {
        s.Text4 = kFiveBlanks;
        s.majorAboveText = kFifteenBlanks;
    }
    if (minorRiseBlank) {
        s.Text8 = kFiveBlanks;
        s.minorRiseText = kFifteenBlanks;
    }

    // Major period with the Moon below: one hour before the midpoint of a
    // moonset and the following moonrise.
    Seconds belowStart = 0;
    if (timeValue(set[1]) > timeValue(rise[2])) {
        Seconds span = rise[2] - set[1];
        belowStart = set[1] + span / 2 - kHour;
        if (dateValue(belowStart) > dateValue(set[1])) {
            span = rise[1] - set[0];
            belowStart = set[0] + span / 2 - kHour;
            if (dateValue(belowStart) < dateValue(set[1])) majorBelowBlank = true;
        }
    } else {
        Seconds span = rise[1] - set[1];
        if (noRise[1]) span = rise[2] - set[1];
        belowStart = set[1] + span / 2 - kHour;
    }

    // Minor period at the moonset.
    s.minorStart = s.Text39 == "No moonset" ? set[2] - kHour : set[1] - kHour;
    if (dateValue(s.minorStart) < dateValue(set[1])) minorSetBlank = true;
    if (timeValue(set[1]) > 0 && timeValue(set[2]) < kHour) {
        s.minorStart = set[2] - kHour;
        minorSetBlank = false;
    }
    formatTimeOfDay(s.minorSetText, s.minorStart, s.designators);
    s.Text7 = s.minorSetText;
    formatTimeOfDay(s.majorBelowText, belowStart, s.designators);
    s.Text5 = s.majorBelowText;
    if (majorBelowBlank) {
        s.Text5 = kFiveBlanks;
        s.majorBelowText = kFifteenBlanks;
    }
    if (minorSetBlank) {
        s.Text7 = kFiveBlanks;
        s.minorSetText = kFifteenBlanks;
    }
}

}  // namespace moonbite
