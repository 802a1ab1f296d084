// Moonrise and moonset of the computation date.
#include "solunar_day.h"

namespace moonbite {
namespace {

struct MoonPosition {
    double ra = 0;        // right ascension, radians (not reduced to 0..2 pi)
    double dec = 0;       // declination, radians
    double distance = 0;  // Earth radii
};

struct Term {
    double coefficient;
    // The argument as multiples of the fundamental arguments.
    int l, m, f, d, n, g;
};

double argument(const Term& t, double L, double M, double F, double D, double N, double G) {
    // Sums in the order the series writes them: M, F, D, N, G, L.
    double a = 0;
    a = a + t.m * M;
    a = a + t.f * F;
    a = a + t.d * D;
    a = a + t.n * N;
    a = a + t.g * G;
    a = a + t.l * L;
    return a;
}

// Series terms: coefficient, then multiples of L, M, F, D, N, G.
constexpr Term kV[] = {
    {+0.39558, 0, 0, 1, 0, 1, 0},  {+0.082, 0, 0, 1, 0, 0, 0},    {+0.03257, 0, 1, -1, 0, -1, 0},
    {+0.01092, 0, 1, 1, 0, 1, 0},  {+0.00666, 0, 1, -1, 0, 0, 0}, {-0.00644, 0, 1, 1, -2, 1, 0},
    {-0.00331, 0, 0, 1, -2, 1, 0}, {-0.00304, 0, 0, 1, -2, 0, 0}, {-0.0024, 0, 1, -1, -2, -1, 0},
    {+0.00226, 0, 1, 1, 0, 0, 0},  {-0.00108, 0, 1, 1, -2, 0, 0}, {-0.00079, 0, 0, 1, 0, -1, 0},
    {+0.00078, 0, 0, 1, 2, 1, 0},
};
constexpr Term kU[] = {
    {-0.10828, 0, 1, 0, 0, 0, 0},  {-0.0188, 0, 1, 0, -2, 0, 0}, {-0.01479, 0, 0, 0, 2, 0, 0},
    {+0.00181, 0, 2, 0, -2, 0, 0}, {-0.00147, 0, 2, 0, 0, 0, 0}, {-0.00105, 0, 0, 0, 2, 0, -1},
    {-0.00075, 0, 1, 0, -2, 0, 1},
};
constexpr Term kW[] = {
    {+0.10478, 0, 1, 0, 0, 0, 0},   {-0.04105, 0, 0, 2, 0, 2, 0},   {-0.0213, 0, 1, 0, -2, 0, 0},
    {-0.01779, 0, 0, 2, 0, 1, 0},   {+0.01774, 0, 0, 0, 0, 1, 0},   {+0.00987, 0, 0, 0, 2, 0, 0},
    {-0.00338, 0, 1, -2, 0, -2, 0}, {-0.00309, 0, 0, 0, 0, 0, 1},   {-0.0019, 0, 0, 2, 0, 0, 0},
    {-0.00144, 0, 1, 0, 0, 1, 0},   {-0.00144, 0, 1, -2, 0, -1, 0}, {-0.00113, 0, 1, 2, 0, 2, 0},
    {-0.00094, 0, 1, 0, -2, 0, 1},  {-0.00092, 0, 2, 0, -2, 0, 0},
};

double fundamental(double base, double rate, double T) {
    double x = base + rate * T;
    x = x - INT(x);
    return x * P2;
}

// Low-precision lunar series at T days from 2000 January 1.5.
MoonPosition moonPosition(double T) {
    const double L = fundamental(0.606434, 0.03660110129, T);
    const double M = fundamental(0.374897, 0.03629164709, T);
    const double F = fundamental(0.259091, 0.0367481952, T);
    const double D = fundamental(0.827362, 0.03386319198, T);
    const double N = fundamental(0.347343, -0.00014709391, T);
    const double G = fundamental(0.993126, 0.0027377785, T);

    double V = 0;
    for (const Term& t : kV)
        V = V + t.coefficient * std::sin(argument(t, L, M, F, D, N, G));
    double U = 1;
    for (const Term& t : kU)
        U = U + t.coefficient * std::cos(argument(t, L, M, F, D, N, G));
    double W = 0;
    for (const Term& t : kW)
        W = W + t.coefficient * std::sin(argument(t, L, M, F, D, N, G));

    MoonPosition p;
    double s = W / std::sqrt(U - V * V);
    p.ra = L + std::atan(s / std::sqrt(1 - s * s));
    s = V / std::sqrt(U);
    p.dec = std::atan(s / std::sqrt(1 - s * s));
    p.distance = 60.40974 * std::sqrt(U);
    return p;
}

// Three-point interpolation of samples f0, f1, f2 at fraction p of the day.
double interpolate(double f0, double f1, double f2, double p) {
    const double a = f1 - f0;
    const double b = f2 - f1 - a;
    return f0 + p * (2 * a + b * (2 * p - 1));
}

// A rise or set: its "hh:mm AMPM" text, its clock text ("   19 : 13") and
// the zone that clock is in and, for the displayed date itself (dai = 1), the
// two boxes that show it.
void recordEvent(SolunarState& s, const CrossingTime& e, Instant zone, Text& eventText, Text& clock,
                 Instant& clockZone, Text& box, Text& minorBox) {
    formatClock(eventText, e.H3 * 60 + e.M3, s.designators);
    clock = "   ";
    clock.appendInt(e.H3);
    clock.append(" : ");
    clock.appendInt(e.M3);
    clockZone = zone;
    if (s.dai == 1) {
        box = eventText;
        minorBox = eventText;
    }
}

// The day's last moonrise and moonset as the hourly test finds them with one
// zone (H: the negated offset in hours, as timeZoneForComputations holds it).
struct MoonScan {
    CrossingTime rise;  // kind None: not found
    CrossingTime set;
    double V2 = 0;  // the altitude function at the day's end
};

MoonScan scanMoon(const SolunarState& s, double H) {
    const double B = s.latitude;
    const double Lo = s.longitude / 360;
    const double Z = H / 24;

    const YearMonthDay ymd = s.computationDate.ymd();
    const DayNumber dn = dayNumber(ymd.year, ymd.month, ymd.day, 1582);
    double T = (dn.J - 2451545) + dn.F;

    HourTest h;
    h.T0 = siderealAngle(T, Z, Lo);
    T = T + Z;

    MoonPosition sample[3];
    for (MoonPosition& p : sample) {
        p = moonPosition(T);
        T = T + 0.5;
    }
    if (!(sample[1].ra > sample[0].ra)) sample[1].ra = sample[1].ra + P2;
    if (!(sample[2].ra > sample[1].ra)) sample[2].ra = sample[2].ra + P2;

    const double z1 = DR * (90.567 - 41.685 / sample[1].distance);
    h.S = std::sin(B * DR);
    h.C = std::cos(B * DR);
    h.Z = std::cos(z1);

    h.A0 = sample[0].ra;
    h.D0 = sample[0].dec;

    MoonScan scan;
    for (int c = 0; c <= 23; ++c) {
        const double p = (c + 1) / 24.0;
        h.A2 = interpolate(sample[0].ra, sample[1].ra, sample[2].ra, p);
        h.D2 = interpolate(sample[0].dec, sample[1].dec, sample[2].dec, p);
        if (h.A2 < h.A0) h.A2 = h.A2 + P2;
        const CrossingTime e = testHour(h, c);
        if (e.kind == Crossing::Rise) scan.rise = e;
        if (e.kind == Crossing::Set) scan.set = e;
    }
    scan.V2 = h.V2;
    return scan;
}

// The events found into the state's texts and flags. riseZone and setZone:
// seconds east of Greenwich each event's clock is in.
void showMoon(SolunarState& s, const MoonScan& scan, Instant riseZone, Instant setZone) {
    const bool riseFound = scan.rise.kind == Crossing::Rise;
    const bool setFound = scan.set.kind == Crossing::Set;
    if (riseFound)
        recordEvent(s, scan.rise, riseZone, s.moonriseText, s.riseClockText, s.riseClockZone,
                    s.Text21, s.Text7);
    if (setFound)
        recordEvent(s, scan.set, setZone, s.moonsetText, s.setClockText, s.setClockZone, s.Text39,
                    s.Text8);

    // The no-event texts are written whatever dai is; the clock texts stay.
    if (!riseFound && !setFound) {
        const char* stays = scan.V2 < 0 ? "Stays Down" : scan.V2 > 0 ? "Stays Up" : nullptr;
        if (stays != nullptr) {
            s.Text21 = stays;
            s.Text39 = stays;
            s.moonriseText = stays;
            s.moonsetText = stays;
            s.Text4 = "Can't Calc";
            s.Text5 = "Can't Calc";
            s.Text7 = "Can't Calc";
            s.Text8 = "Can't Calc";
            s.Text4At = s.Text5At = s.Text7At = s.Text8At = kNoInstant;
            s.special = true;
        }
    } else {
        if (!riseFound) {
            s.Text21 = "No Rise";
            s.moonriseText = "No Rise";
            s.Text7.clear();
            s.Text7At = kNoInstant;
            s.nomoon = true;
        }
        if (!setFound) {
            s.moonsetText = "No Set";
            s.Text39 = "No Set";
            s.Text8.clear();
            s.Text8At = kNoInstant;
            s.nomoonset = true;
        }
    }
}

// A day the clocks change: the day is scanned with each offset in force during
// it, and an event counts where that offset is the one in force at its
// instant; its clock then reads in that offset.
// A 25-hour day may hold two moonrises: majorminor's look at the next day
// (dai 2) takes its first, since the periods before it start today; every
// other use takes the day's last, as one scan keeps it.
void moonOnChangeDay(SolunarState& s, const DayOffsets& offsets) {
    const Instant midnight = instantOf(s.computationDate);
    const bool first = s.dai == 2;
    MoonScan merged;
    Instant riseAt = kNoInstant;
    Instant setAt = kNoInstant;
    Instant riseZone = 0;
    Instant setZone = 0;
    for (int i = 0; i < offsets.count; ++i) {
        const double hours = offsets.hours[static_cast<std::size_t>(i)];
        const Instant zone = zoneSeconds(hours);
        const MoonScan scan = scanMoon(s, -hours);
        if (i == 0) merged.V2 = scan.V2;  // the day's own noon offset
        auto keep = [&](const CrossingTime& e, CrossingTime& into, Instant& at, Instant& atZone) {
            if (e.kind == Crossing::None) return;
            const Instant t = midnight + Instant{e.minute} * 60 - zone;
            if (zoneSeconds(hoursAt(s, t)) != zone) return;
            if (at != kNoInstant && (first ? t > at : t < at)) return;
            at = t;
            atZone = zone;
            into = e;
        };
        keep(scan.rise, merged.rise, riseAt, riseZone);
        keep(scan.set, merged.set, setAt, setZone);
    }
    showMoon(s, merged, riseZone, setZone);
}

}  // namespace

void moonriseset(SolunarState& s) {
    const DayOffsets offsets = offsetsDuring(s, s.computationDate);
    if (offsets.count > 1) {
        moonOnChangeDay(s, offsets);
        return;
    }
    const double H = s.zoneRule != nullptr ? -offsets.hours[0] : Val(s.timeZoneForComputations);
    const Instant zone = zoneSeconds(-H);
    showMoon(s, scanMoon(s, H), zone, zone);
}

}  // namespace moonbite
