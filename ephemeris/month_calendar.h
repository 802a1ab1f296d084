// One day cell of the printed month calendar: what it shows, computed on the
// shared state in the order the page prints it.
#pragma once

#include "solunar_day.h"

namespace moonbite {

/// The five data options of the printed calendar.
struct MonthCellOptions {
    bool prediction = true;  ///< stars after the day number
    bool newFull = true;     ///< new or full moon disc, caption and time
    bool sunrise = true;     ///< "S  Rise: " line
    bool moonrise = true;    ///< "M  Rise: " line
    bool majorMinor = true;  ///< "Maj: " and "Min: " lines
};

using CellLine = FixedText<127>;

struct MonthCell {
    int day = 0;
    FixedText<7> stars;     ///< "  ", " *", " **", " ***" (empty when not chosen)
    bool newMoon = false;   ///< the day of a new moon (black disc)
    bool fullMoon = false;  ///< the day of a full moon (outlined white disc)
    FixedText<23> newMoonTime;
    FixedText<23> fullMoonTime;
    CellLine sunLine;     ///< "S  Rise: 05:05 AM  Set: 07:07 PM"
    CellLine moonLine;    ///< "M  Rise: ..."
    CellLine majorLine;   ///< "Maj: ... Maj: ..."
    CellLine minorLine;   ///< "Min: ... Min: ..."
    int clockChange = 0;  ///< +1 clocks go forward that day, -1 back (a zone followed by date)
};

/// The star text of a prediction score: 0 "  ", 33 " *", 66 " **", 100 " ***".
[[nodiscard]] std::string_view starText(int score);

/// Computes the cell of year/month/day on the state (the printed calendar's
/// calcdata without the drawing): sets the computation date and the displayed
/// and start-date texts to the cell's date, builds the phase table for its
/// year, runs calcmoon and, as chosen, Sunriseset, moonriseset and majorminor.
/// Leaves every shared value at this cell's date.
void calcdata(SolunarState& s, int year, int month, int day, const MonthCellOptions& options,
              MonthCell& cell);

}  // namespace moonbite
