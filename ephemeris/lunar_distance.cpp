// The Moon's distance from the Earth and the position of its gauge marker.
#include "solunar_day.h"

namespace moonbite {
namespace {

// The distance series was fitted with this shorter value of 2 pi.
constexpr double kTwoPi = 2 * 3.14159;

double normalise(double V) {
    V = V - INT(V);
    if (V < 0) V = V + 1;
    return V;
}

}  // namespace

double dayNumberAtNoon(int year, int month, int day) {
    const double Y = year;
    const double M = month;
    const double YY = Y - INT((12 - M) / 10);
    double MM = M + 9;
    if (MM >= 12) MM = MM - 12;
    const double K1 = INT(365.25 * (YY + 4712));
    const double K2 = INT(30.6 * MM + 0.5);
    const double K3 = INT(INT(YY / 100 + 49) * 0.75) - 38;
    double J = K1 + K2 + day + 59;
    if (J > 2299160) J = J - K3;
    return J;
}

void placeGauge(SolunarState& s) {
    const double G = (s.lunarDistance - 39) * 100;
    s.Image2Left = static_cast<float>(s.scaleFactor * G);
    s.Line1X2 = static_cast<float>(s.scaleFactor * G - 15);
}

void lundist(SolunarState& s) {
    const YearMonthDay ymd = s.computationDate.ymd();
    const double J = dayNumberAtNoon(ymd.year, ymd.month, ymd.day);
    const double IP = normalise((J - 2451550.1) / 29.530588853) * kTwoPi;
    const double DP = normalise((J - 2451562.2) / 27.55454988) * kTwoPi;
    s.lunarDistance =
        60.4 - 3.3 * std::cos(DP) - 0.6 * std::cos(2 * IP - DP) - 0.5 * std::cos(2 * IP);
    s.Label13.clear();
    s.Label13.appendInt(static_cast<long long>(INT(6378.155 * s.lunarDistance)));
    placeGauge(s);
}

}  // namespace moonbite
