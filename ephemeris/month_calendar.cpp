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

void calcdata(SolunarState& s, int year, int month, int day, const MonthCellOptions& options,
              MonthCell& cell) {
    cell = MonthCell{};
    cell.day = day;

    s.computationDate = Date::fromYmd(year, month, day).value_or(s.computationDate);
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
        cell.sunLine = "S  Rise: ";
        cell.sunLine.append(s.sunriseText);
        cell.sunLine.append("  Set: ");
        cell.sunLine.append(s.sunsetText);
    }
    if (options.moonrise) {
        moonriseset(s);
        cell.moonLine = "M  Rise: ";
        cell.moonLine.append(s.moonriseText);
        cell.moonLine.append("  Set: ");
        cell.moonLine.append(s.moonsetText);
    }
    if (options.majorMinor) {
        majorminor(s);
        cell.majorLine = "Maj: ";
        cell.majorLine.append(s.majorAboveText);
        cell.majorLine.append(" Maj: ");
        cell.majorLine.append(s.majorBelowText);
        cell.minorLine = "Min: ";
        cell.minorLine.append(s.minorSetText);
        cell.minorLine.append(" Min: ");
        cell.minorLine.append(s.minorRiseText);
    }
}

}  // namespace moonbite
