// Sunrise, sunset and the length of the day.
#include "solunar_day.h"

namespace moonbite {
namespace {

struct SunPosition {
    double A5 = 0;  // right ascension, radians
    double D5 = 0;  // declination, radians
};

// Low-precision series in the Sun's mean longitude and mean anomaly; the terms
// are added in the order of the published series.
SunPosition sunPosition(double T, double TT) {
    double L = 0.779072 + 0.00273790931 * T;
    double G = 0.993126 + 0.0027377785 * T;
    L = L - INT(L);
    G = G - INT(G);
    L = L * P2;
    G = G * P2;
    const double V = 0.39785 * std::sin(L) - 0.01 * std::sin(L - G) + 0.00333 * std::sin(L + G) -
                     0.00021 * TT * std::sin(L);
    const double U = 1 - 0.03349 * std::cos(G) - 0.00014 * std::cos(2 * L) + 0.00008 * std::cos(L);
    const double W = -0.0001 - 0.04129 * std::sin(2 * L) + 0.03211 * std::sin(G) +
                     0.00104 * std::sin(2 * L - G) - 0.00035 * std::sin(2 * L + G) -
                     0.00008 * TT * std::sin(G);
    double S = W / std::sqrt(U - V * V);
    SunPosition p;
    p.A5 = L + std::atan(S / std::sqrt(1 - S * S));
    S = V / std::sqrt(U);
    p.D5 = std::atan(S / std::sqrt(1 - S * S));
    return p;
}

// The latitude and longitude reach the Sun through their text form, as the
// boxes hold them.
double throughText(SolunarState::ThroughText& cache, double value) {
    if (!cache.valid || cache.value != value) {
        Text t;
        numberText(t, value);
        cache.value = value;
        cache.read = Val(t);
        cache.valid = true;
    }
    return cache.read;
}

void showDayLength(SolunarState& s, int sunriseMinute, int sunsetMinute, int minutesInDay) {
    // Whole minutes split exactly: going through hours as a fraction would lose
    // a minute to rounding on many days (12 h 06 min would show 12 : 05).
    int N = sunsetMinute - sunriseMinute;
    if (N < 0) N += minutesInDay;
    s.Text6.clear();
    s.Text6.appendInt(N / 60, 2);
    s.Text6.append(" : ");
    s.Text6.appendInt(N % 60, 2);
}

// The day's last sunrise and sunset as the hourly test finds them with one
// zone (H: the negated offset in hours, as timeZoneForComputations holds it).
struct SunEvent {
    bool found = false;
    int clockMinute = 0;  // H3:M3, the minute the clock text shows
    int minute = 0;       // 0..1440 from the zone's midnight
};
struct SunScan {
    SunEvent rise;
    SunEvent set;
    double V2 = 0;  // the altitude function at the day's end
};

SunScan scanSun(SolunarState& s, double H) {
    const double B5 = throughText(s.latitudeAsRead, s.latitude);
    const double L5 = throughText(s.longitudeAsRead, s.longitude) / 360;
    const double Z0 = H / 24;

    const YearMonthDay ymd = s.computationDate.ymd();
    const DayNumber dn = dayNumber(ymd.year, ymd.month, ymd.day, 1583);
    double T = (dn.J - 2451545) + dn.F;
    const double TT = T / 36525 + 1;

    HourTest h;
    h.T0 = siderealAngle(T, Z0, L5);
    T = T + Z0;

    const SunPosition p1 = sunPosition(T, TT);
    T = T + 1;
    const SunPosition p2 = sunPosition(T, TT);
    const double A1 = p1.A5;
    double A2 = p2.A5;
    if (A2 < A1) A2 = A2 + P2;  // the right ascension wrapped through 0 during the day

    const double Z1 = DR * 90.833;
    h.S = std::sin(B5 * DR);
    h.C = std::cos(B5 * DR);
    h.Z = std::cos(Z1);

    h.A0 = A1;
    h.D0 = p1.D5;
    const double DA = A2 - A1;
    const double DD = p2.D5 - p1.D5;

    SunScan scan;
    for (int C0 = 0; C0 <= 23; ++C0) {
        const double P = (C0 + 1) / 24.0;
        h.A2 = A1 + P * DA;
        h.D2 = p1.D5 + P * DD;
        const CrossingTime c = testHour(h, C0);
        if (c.kind != Crossing::Rise && c.kind != Crossing::Set) continue;
        SunEvent& e = c.kind == Crossing::Rise ? scan.rise : scan.set;
        e.found = true;
        e.clockMinute = c.H3 * 60 + c.M3;
        e.minute = c.minute;
    }
    scan.V2 = h.V2;
    return scan;
}

// The texts of the day from its events: each found event at its clock
// minute, the day length from the minutes since the day began (0 for an event
// not found), and the no-event texts.
void showSun(SolunarState& s, const SunScan& scan, int riseMinute, int setMinute,
             int minutesInDay) {
    if (scan.rise.found) {
        formatClock(s.sunriseText, scan.rise.clockMinute, s.designators);
        s.Text2 = s.sunriseText;
    }
    if (scan.set.found) {
        formatClock(s.sunsetText, scan.set.clockMinute, s.designators);
        s.Text32 = s.sunsetText;
    }
    if (!scan.rise.found && !scan.set.found) {
        // With the last value exactly 0 nothing is written at all.
        if (scan.V2 < 0) {
            s.sunriseText = "Stays Down";
            s.Text2 = s.sunriseText;
            s.sunsetText = "No Set";
            s.Text32 = s.sunsetText;
            s.Text6 = "0 hrs";
            s.Text2At = s.Text32At = kNoInstant;
        } else if (scan.V2 > 0) {
            s.sunsetText = "Stays Up";
            s.Text32 = s.sunsetText;
            s.sunriseText = "No Rise";
            s.Text2 = s.sunriseText;
            s.Text6 = "24 hrs";
            s.Text2At = s.Text32At = kNoInstant;
        }
        return;
    }
    showDayLength(s, scan.rise.found ? riseMinute : 0, scan.set.found ? setMinute : 0,
                  minutesInDay);
    if (!scan.rise.found) {
        s.sunriseText = "No Rise";
        s.Text2 = s.sunriseText;
        s.Text2At = kNoInstant;
    }
    if (!scan.set.found) {
        s.sunsetText = "No Set";
        s.Text32 = s.sunsetText;
        s.Text32At = kNoInstant;
    }
}

// A day the clocks change: the day is scanned with each offset in force during
// it, and an event counts where that offset is the one in force at its instant.
void sunOnChangeDay(SolunarState& s, const DayOffsets& offsets) {
    const Date date = s.computationDate;
    const Instant midnight = instantOf(date);
    SunScan merged;
    Instant riseAt = kNoInstant;
    Instant setAt = kNoInstant;
    for (int i = 0; i < offsets.count; ++i) {
        const double hours = offsets.hours[static_cast<std::size_t>(i)];
        const Instant zone = zoneSeconds(hours);
        const SunScan scan = scanSun(s, -hours);
        if (i == 0) merged.V2 = scan.V2;  // the day's own noon offset
        auto keep = [&](const SunEvent& e, SunEvent& into, Instant& at) {
            if (!e.found) return;
            const Instant t = midnight + Instant{e.minute} * 60 - zone;
            if (zoneSeconds(hoursAt(s, t)) != zone) return;
            if (at != kNoInstant && t < at) return;  // the day's last, as one scan keeps it
            at = t;
            into.found = true;
            into.minute = static_cast<int>((t + zone - midnight) / 60);
            into.clockMinute = into.minute % 1440;
        };
        keep(scan.rise, merged.rise, riseAt);
        keep(scan.set, merged.set, setAt);
    }
    const ClockDay day = clockDay(s, date);
    auto sinceBegin = [&](Instant t) {
        return t == kNoInstant ? 0 : static_cast<int>((t - day.begin) / 60);
    };
    if (merged.rise.found) s.Text2At = riseAt;
    if (merged.set.found) s.Text32At = setAt;
    showSun(s, merged, sinceBegin(riseAt), sinceBegin(setAt),
            static_cast<int>((day.end - day.begin) / 60));
}

}  // namespace

void Sunriseset(SolunarState& s) {
    const DayOffsets offsets = offsetsDuring(s, s.computationDate);
    if (offsets.count > 1) {
        sunOnChangeDay(s, offsets);
        return;
    }
    const double H = s.zoneRule != nullptr ? -offsets.hours[0] : Val(s.timeZoneForComputations);
    const SunScan scan = scanSun(s, H);
    const Instant start = instantOf(s.computationDate) + zoneSeconds(H);
    if (scan.rise.found) s.Text2At = start + Instant{scan.rise.minute} * 60;
    if (scan.set.found) s.Text32At = start + Instant{scan.set.minute} * 60;
    showSun(s, scan, scan.rise.clockMinute, scan.set.clockMinute, 1440);
}

}  // namespace moonbite
