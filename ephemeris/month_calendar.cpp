#include "month_calendar.h"

namespace moonbite {

std::string_view starText(int score) {
    switch (score) {
        case 0:
            return "  ";
        case 33:
            return " *";
        case 66:
            return " **";
        case 100:
            return " ***";
        default:
            return {};
    }
}

namespace {

void joinLine(CellLine& line, std::string_view a, std::string_view b, std::string_view c,
              std::string_view d) {
    line = a;
    line.append(b);
    line.append(c);
    line.append(d);
}

}  // namespace

void calcdata(SolunarState& s, int year, int month, int day, const MonthCellOptions& options,
              MonthCell& cell) {
    cell = MonthCell{};
    cell.day = day;

    s.computationDate = Date::fromYmd(year, month, day).value_or(s.computationDate);
    useZoneOf(s, s.computationDate);  // the cell shows its own day's clock times
    cell.clockChange = clockChangeOn(s, s.computationDate);
    s.startDateText.clear();
    s.startDateText.appendInt(day);
    s.startDateText.append("-");
    s.startDateText.appendInt(month);
    s.startDateText.append("-");
    s.startDateText.appendInt(year);
    // The cell's date is also the date majorminor reads, so each cell shows
    // its own day's periods.
    s.displayedDateText = s.startDateText;

    calcmoontime(s);
    calcmoon(s);

    if (options.prediction) cell.stars = starText(s.predictionScore);
    if (options.newFull) {
        const auto I = static_cast<std::size_t>(s.phaseIndex);
        if (s.daysToNewMoon == 0) {
            cell.newMoon = true;
            cell.newMoonTime = s.phases.newMoonTime[I].view();
        }
        if (s.daysToFullMoon == 0) {
            cell.fullMoon = true;
            cell.fullMoonTime = s.phases.fullMoonTime[I].view();
        }
    }
    if (options.sunrise) {
        Sunriseset(s);
        joinLine(cell.sunLine, "S  Rise: ", s.sunriseText, "  Set: ", s.sunsetText);
    }
    if (options.moonrise) {
        moonriseset(s);
        joinLine(cell.moonLine, "M  Rise: ", s.moonriseText, "  Set: ", s.moonsetText);
    }
    if (options.majorMinor) {
        majorminor(s);
        joinLine(cell.majorLine, "Maj: ", s.majorAboveText, " Maj: ", s.majorBelowText);
        // The minor period stored second (at the moonset) prints first.
        joinLine(cell.minorLine, "Min: ", s.minorSetText, " Min: ", s.minorRiseText);
    }
}

}  // namespace moonbite
