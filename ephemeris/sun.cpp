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

void showDayLength(SolunarState& s, int sunriseMinute, int sunsetMinute) {
    // Whole minutes split exactly: going through hours as a fraction would lose
    // a minute to rounding on many days (12 h 06 min would show 12 : 05).
    int N = sunsetMinute - sunriseMinute;
    if (N < 0) N += 1440;
    s.Text6.clear();
    s.Text6.appendInt(N / 60, 2);
    s.Text6.append(" : ");
    s.Text6.appendInt(N % 60, 2);
}

}  // namespace

void Sunriseset(SolunarState& s) {
    const double B5 = throughText(s.latitudeAsRead, s.latitude);
    const double L5 = throughText(s.longitudeAsRead, s.longitude) / 360;
    const double H = Val(s.timeZoneForComputations);
    const double Z0 = H / 24;

    // Times of day in minutes, midnight until an event is found.
    int sunriseMinute = 0;
    int sunsetMinute = 0;

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
    bool M8 = false;
    bool W8 = false;

    h.A0 = A1;
    h.D0 = p1.D5;
    const double DA = A2 - A1;
    const double DD = p2.D5 - p1.D5;

    for (int C0 = 0; C0 <= 23; ++C0) {
        const double P = (C0 + 1) / 24.0;
        h.A2 = A1 + P * DA;
        h.D2 = p1.D5 + P * DD;
        const CrossingTime c = testHour(h, C0);
        if (c.kind == Crossing::None) continue;
        if (c.kind == Crossing::Rise) {
            M8 = true;
            sunriseMinute = c.H3 * 60 + c.M3;
            formatClock(s.sunriseText, sunriseMinute, s.designators);
            s.Text2 = s.sunriseText;
        }
        if (c.kind == Crossing::Set) {
            W8 = true;
            sunsetMinute = c.H3 * 60 + c.M3;
            formatClock(s.sunsetText, sunsetMinute, s.designators);
            s.Text32 = s.sunsetText;
        }
        showDayLength(s, sunriseMinute, sunsetMinute);
    }

    if (!M8 && !W8) {
        // With the last value exactly 0 nothing is written at all.
        if (h.V2 < 0) {
            s.sunriseText = "Stays Down";
            s.Text2 = s.sunriseText;
            s.sunsetText = "No Set";
            s.Text32 = s.sunsetText;
            s.Text6 = "0 hrs";
        } else if (h.V2 > 0) {
            s.sunsetText = "Stays Up";
            s.Text32 = s.sunsetText;
            s.sunriseText = "No Rise";
            s.Text2 = s.sunriseText;
            s.Text6 = "24 hrs";
        }
    } else {
        if (!M8) {
            s.sunriseText = "No Rise";
            s.Text2 = s.sunriseText;
        }
        if (!W8) {
            s.sunsetText = "No Set";
            s.Text32 = s.sunsetText;
        }
    }
}

}  // namespace moonbite
