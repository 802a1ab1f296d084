// The table of new and full moons: about fifteen lunations from the one that
// begins near the start of the computation date's year.
#include <algorithm>

#include "solunar_day.h"

namespace moonbite {
namespace {

constexpr double kPi = 3.14159265;
constexpr double R = kPi / 180;

double frac(double x) {
    return x - INT(x);
}

}  // namespace

void MonthNameFromNumber(SolunarState& s) {
    static constexpr std::array<std::string_view, 12> kNames = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", " December"};
    for (int m = 1; m <= 12; ++m) {
        if (s.monthNumber == m) {
            s.monthNameText = kNames[static_cast<std::size_t>(m - 1)];
            return;
        }
    }
}

namespace {

bool sameKey(const SolunarState::BuiltPhaseTable& b, int year, double zone, std::uint64_t rule,
             const ClockDesignators& d) {
    return b.valid && b.year == year && b.zone == zone && b.rule == rule &&
           b.designators.am == d.am && b.designators.pm == d.pm;
}

// Copies the entries the table builder writes (even new moons, odd full moons).
void copyBuiltEntries(const PhaseTables& from, PhaseTables& to) {
    for (std::size_t i = 0; i < kPhaseTableSize; ++i) {
        if (i % 2 == 0) {
            to.newMoonDate[i] = from.newMoonDate[i];
            to.newMoonTime[i] = from.newMoonTime[i];
            to.newMoonAt[i] = from.newMoonAt[i];
        } else {
            to.fullMoonDate[i] = from.fullMoonDate[i];
            to.fullMoonTime[i] = from.fullMoonTime[i];
            to.fullMoonAt[i] = from.fullMoonAt[i];
        }
    }
}

void buildPhaseTable(SolunarState& s, double y, double zone);

}  // namespace

std::uint64_t ruleKey(const SolunarState& s) {
    return s.zoneRule != nullptr ? s.zoneRule->id() : 0;
}

void calcmoontime(SolunarState& s) {
    const int year = s.computationDate.year();
    // Followed by date, each entry takes the offset in force at its instant,
    // whatever zone the texts hold now.
    const double zone = s.zoneRule != nullptr ? 0 : Val(s.timeZoneEntered);
    const std::uint64_t rule = ruleKey(s);
    for (SolunarState::BuiltPhaseTable& b : s.builtPhaseTables) {
        if (!sameKey(b, year, zone, rule, s.designators)) continue;
        copyBuiltEntries(b.tables, s.phases);
        s.monthNumber = b.monthNumber;
        s.monthNameText = b.monthNameText;
        s.phaseTableYear = year;
        s.phaseTableZone = zone;
        s.phaseTableRule = rule;
        return;
    }
    buildPhaseTable(s, year, zone);
    // Keep it in place of the older of the two remembered tables.
    auto& slots = s.builtPhaseTables;
    slots[1] = slots[0];
    SolunarState::BuiltPhaseTable& b = slots[0];
    b.valid = true;
    b.year = year;
    b.zone = zone;
    b.rule = rule;
    b.designators = s.designators;
    copyBuiltEntries(s.phases, b.tables);
    b.monthNumber = s.monthNumber;
    b.monthNameText = s.monthNameText;
}

namespace {

void buildPhaseTable(SolunarState& s, double y, double zone) {
    const double k = INT((y - 1900) * 12.3685);
    const double T = (y - 1899.5) / 100;
    const double T2 = T * T;
    const double T3 = T * T * T;

    const double J0 = 2415020 + 29 * k;
    double f0 = 0.0001178 * T2 - 0.000000155 * T3;
    f0 = f0 + 0.75933 + 0.53058868 * k;
    f0 = f0 - 0.000837 * T - 0.000335 * T2;

    const double M0 = frac(0.08084821133 * k) * 360 + 359.2242 - 0.0000333 * T2 - 0.00000347 * T3;
    const double N0 = frac(0.07171366128 * k) * 360 + 306.0253 + 0.0107306 * T2 + 0.00001236 * T3;
    const double F0 = frac(0.08519585128 * k) * 360 + 21.2964 - 0.0016528 * T2 - 0.00000239 * T3;

    // A zone with a fraction of an hour shifts each event by its whole minutes,
    // and the date rolls with the shifted time (whole-hour zones give the same
    // result as shifting the hour alone).
    const int fixedZoneMinutes = static_cast<int>(std::lround(std::clamp(zone, -48.0, 48.0) * 60));

    for (int i = 0; i <= 30; ++i) {
        double J = J0 + 14 * i;
        double f = f0 + 0.765294 * i;
        const double h = i / 2.0;
        const double M = (M0 + 29.10535608 * h) * R;
        const double N = (N0 + 385.81691806 * h) * R;
        const double F = (F0 + 390.67050646 * h) * R;

        f = f - 0.4068 * std::sin(N);
        f = f + (0.1734 - 0.000393 * T) * std::sin(M);
        f = f + 0.0161 * std::sin(2 * N);
        f = f + 0.0104 * std::sin(2 * F);
        f = f - 0.0074 * std::sin(M - N);
        f = f - 0.0051 * std::sin(M + N);
        f = f + 0.0021 * std::sin(2 * M);
        f = f + 0.001 * std::sin(2 * F - N);

        J = J + INT(f);
        f = f - INT(f);
        f = f + 0.5;
        if (!(f < 1)) {
            f = f - 1;
            J = J + 1;
        }

        const double a = INT(J / 36524.25 - 51.12264);
        const double A = J + 1 + a - INT(a / 4);
        const double B = A + 1524;
        const double C = INT(B / 365.25 - 0.3343);
        const double D = INT(365.25 * C);
        const double E = INT((B - D) / 30.61);
        const double day = (B - D) - INT(30.61 * E) + f;
        double month = E - 1;
        if (E > 13.5) month = month - 12;
        double year = C - 4716;
        if (month < 2.5) year = year + 1;

        s.monthNumber = month;
        MonthNameFromNumber(s);
        Date date = Date::fromYmd(static_cast<int>(year), static_cast<int>(month),
                                  static_cast<int>(INT(day)))
                        .value_or(Date{});

        const double hours = std::fabs(24 * (day - INT(day)));
        const double minutes = std::fabs(60 * (hours - INT(hours)));
        int minuteOfDay = static_cast<int>(INT(hours)) * 60 + static_cast<int>(INT(minutes));
        const Instant at = instantOf(date) + Instant{minuteOfDay} * 60;
        const int zoneMinutes = s.zoneRule != nullptr
                                    ? static_cast<int>(std::lround(
                                          std::clamp(s.zoneRule->hoursAt(at), -48.0, 48.0) * 60))
                                    : fixedZoneMinutes;
        minuteOfDay += zoneMinutes;
        while (minuteOfDay >= 1440) {
            minuteOfDay -= 1440;
            date = date + 1;
        }
        while (minuteOfDay < 0) {
            minuteOfDay += 1440;
            date = date - 1;
        }

        Text timeText;
        formatClock(timeText, minuteOfDay, s.designators);
        const auto idx = static_cast<std::size_t>(i);
        if (i % 2 == 0) {
            s.phases.newMoonDate[idx] = date;
            s.phases.newMoonTime[idx] = timeText.view();
            s.phases.newMoonAt[idx] = at;
        } else {
            s.phases.fullMoonDate[idx] = date;
            s.phases.fullMoonTime[idx] = timeText.view();
            s.phases.fullMoonAt[idx] = at;
        }
    }
    s.phaseTableYear = static_cast<int>(y);
    s.phaseTableZone = zone;
    s.phaseTableRule = ruleKey(s);
}

}  // namespace
}  // namespace moonbite
