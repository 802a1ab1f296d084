#include "calendar_time.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace moonbite {
namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int digitValue(char c, int radix) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v >= 0 && v < radix ? v : -1;
}

// Copies the text without the skipped characters into buf (at most n - 1 chars).
std::size_t compact(std::string_view text, char* buf, std::size_t n) {
    std::size_t len = 0;
    for (char c : text) {
        if (isSkipped(c)) continue;
        if (len + 1 >= n) break;
        buf[len++] = c;
    }
    buf[len] = '\0';
    return len;
}

double radixNumber(const char* s, std::size_t len, int radix) {
    double v = 0;
    for (std::size_t i = 0; i < len; ++i) {
        const int d = digitValue(s[i], radix);
        if (d < 0) break;
        v = v * radix + d;
    }
    return v;
}

}  // namespace

double Val(std::string_view text) {
    // The common case, a plain whole number such as "10" or "-10", without strtod.
    if (!text.empty() && text.size() < 16) {
        std::size_t i = text[0] == '-' ? 1 : 0;
        long long v = 0;
        bool plain = i < text.size();
        for (std::size_t j = i; j < text.size() && plain; ++j) {
            plain = text[j] >= '0' && text[j] <= '9';
            v = v * 10 + (text[j] - '0');
        }
        if (plain) return static_cast<double>(i == 1 ? -v : v);
    }
    char buf[128];
    const std::size_t len = compact(text, buf, sizeof buf);
    if (len >= 2 && buf[0] == '&') {
        if (buf[1] == 'H' || buf[1] == 'h') return radixNumber(buf + 2, len - 2, 16);
        if (buf[1] == 'O' || buf[1] == 'o') return radixNumber(buf + 2, len - 2, 8);
        return 0;
    }
    // Find the longest prefix of the form [sign] digits [. digits] [(E|D) [sign] digits].
    std::size_t i = 0;
    if (i < len && (buf[i] == '+' || buf[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    while (i < len && buf[i] >= '0' && buf[i] <= '9')
        ++i;
    if (i < len && buf[i] == '.') {
        ++i;
        while (i < len && buf[i] >= '0' && buf[i] <= '9')
            ++i;
    }
    const bool hasDigits =
        i > mantissaStart && !(i == mantissaStart + 1 && buf[mantissaStart] == '.');
    if (!hasDigits) return 0;
    std::size_t end = i;
    if (i < len && (buf[i] == 'e' || buf[i] == 'E' || buf[i] == 'd' || buf[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < len && (buf[j] == '+' || buf[j] == '-')) ++j;
        const std::size_t expStart = j;
        while (j < len && buf[j] >= '0' && buf[j] <= '9')
            ++j;
        if (j > expStart) {
            buf[i] = 'e';
            end = j;
        }
    }
    buf[end] = '\0';
    const double v = std::strtod(buf, nullptr);
    // An exponent beyond the range of a double reads as 0 rather than infinity.
    return std::isfinite(v) ? v : 0;
}

void numberText(Text& out, double value) {
    if (!std::isfinite(value)) value = 0;
    if (value == 0) value = 0;  // no "-0"
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    out = buf;
}

std::int16_t toInt16(double value) {
    if (std::isnan(value)) return 0;
    const double r = std::nearbyint(value);  // default rounding mode: half to even
    if (r >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (r <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(r);
}

void formatClock(Text& out, int minuteOfDay, const ClockDesignators& designators) {
    int m = minuteOfDay % 1440;
    if (m < 0) m += 1440;
    const int h24 = m / 60;
    int h12 = h24 % 12;
    if (h12 == 0) h12 = 12;
    const int minute = m % 60;
    // Formatted by hand: this runs for every event of every day.
    const char digits[6] = {
        static_cast<char>('0' + h12 / 10),    static_cast<char>('0' + h12 % 10),    ':',
        static_cast<char>('0' + minute / 10), static_cast<char>('0' + minute % 10), ' '};
    out.assign(std::string_view(digits, sizeof digits));
    out.append(h24 < 12 ? designators.am.view() : designators.pm.view());
}

DayNumber dayNumber(int year, int month, int day, int gregorianFromYear) {
    const double Y = year;
    const double M = month;
    const double D = day;
    double G = 1;
    if (year < gregorianFromYear) G = 0;
    const double D1 = INT(D);
    double F = D - D1 - 0.5;
    double J = -INT(7 * (INT((M + 9) / 12) + Y) / 4);
    double J3 = 0;
    if (G != 0) {
        const double S = SGN(M - 9);
        const double A = std::fabs(M - 9);
        J3 = INT(Y + S * INT(A / 7));
        J3 = -INT((INT(J3 / 100) + 1) * 3 / 4);
    }
    J = J + INT(275 * M / 9) + D1 + G * J3;
    J = J + 1721027 + 2 * G + 367 * Y;
    if (F < 0) {
        F = F + 1;
        J = J - 1;
    }
    return {J, F};
}

double siderealAngle(double T, double Z0, double L5) {
    const double T0 = T / 36525;
    double S = 24110.5 + 8640184.813 * T0;
    S = S + 86636.6 * Z0 + 86400 * L5;
    S = S / 86400;
    S = S - INT(S);
    return S * 360 * DR;
}

std::optional<double> crossingFraction(double V0, double V1, double V2) {
    const double A = 2 * V2 - 4 * V1 + 2 * V0;
    const double B = 4 * V1 - 3 * V0 - V2;
    double D = B * B - 4 * A * V0;
    if (D < 0) return std::nullopt;
    D = std::sqrt(D);
    double E = 0;
    if (A == 0) {
        // Three altitudes on a straight line: the root of V0 + B * E = 0.
        E = B != 0 ? -V0 / B : 0;
    } else {
        E = (-B + D) / (2 * A);
        if (E > 1 || E < 0) E = (-B - D) / (2 * A);
    }
    if (!std::isfinite(E)) E = B != 0 ? -V0 / B : 0;
    return E;
}

CrossingTime clockOfCrossing(int C0, double E) {
    const double T3 = C0 + E + kHalfMinute;
    double H3 = INT(T3);
    double M3 = INT((T3 - H3) * 60);
    CrossingTime result;
    result.minute = static_cast<int>(std::clamp(H3 * 60 + M3, 0.0, 1440.0));
    if (H3 == 24) H3 = 0;
    if (M3 == 60) M3 = 0;
    // A root pushed outside the hour by rounding still gives a time of day.
    result.H3 = static_cast<int>(std::fmod(std::fmod(H3, 24) + 24, 24));
    result.M3 = static_cast<int>(M3);
    return result;
}

CrossingTime testHour(HourTest& h, int C0) {
    CrossingTime result;
    const double L0 = h.T0 + C0 * K1;
    const double L2 = L0 + K1;
    const double H0 = L0 - h.A0;
    const double H2 = L2 - h.A2;
    const double H1 = (H2 + H0) / 2;
    const double D1 = (h.D2 + h.D0) / 2;
    if (C0 == 0) h.V0 = h.S * std::sin(h.D0) + h.C * std::cos(h.D0) * std::cos(H0) - h.Z;
    h.V2 = h.S * std::sin(h.D2) + h.C * std::cos(h.D2) * std::cos(H2) - h.Z;

    if (SGN(h.V0) != SGN(h.V2)) {
        const double V1 = h.S * std::sin(D1) + h.C * std::cos(D1) * std::cos(H1) - h.Z;
        if (const auto E = crossingFraction(h.V0, V1, h.V2)) {
            result = clockOfCrossing(C0, *E);
            result.kind = Crossing::Neither;
            if (h.V0 < 0 && h.V2 > 0) result.kind = Crossing::Rise;
            if (h.V0 > 0 && h.V2 < 0) result.kind = Crossing::Set;
        }
    }
    h.A0 = h.A2;
    h.D0 = h.D2;
    h.V0 = h.V2;
    return result;
}

}  // namespace moonbite
