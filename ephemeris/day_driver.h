// The day computation that runs when the displayed date changes, split into the
// steps the main window and the command-line tool call.
#pragma once

#include <string_view>

#include "solunar_day.h"

namespace moonbite {

/// What the main window does when code changes its month list or year box
/// (the handlers that rebuild the phase table). The roll-over of the displayed
/// date calls them at the points where it changes those controls.
class DateControlHandlers {
  public:
    virtual ~DateControlHandlers() = default;
    virtual void Combo1_Click(SolunarState& s) = 0;
    virtual void Text10_Change(SolunarState& s) = 0;
};

/// Puts a date into the date controls: Text1 (day), Combo1 (month index), Text10 (year).
void setDateControls(SolunarState& s, Date d);

/// The displayed-date text from the date controls: "21 January 2000".
void buildDisplayedDateText(SolunarState& s);

/// Year limits: a year box above 2200 becomes "2200", below 1901 "1901".
void applyYearLimits(SolunarState& s, DateControlHandlers* handlers = nullptr);

/// Day roll-over: a day of 0 moves to the last day of the previous month, a day
/// past the end of the month to day 1 of the next one.
void rollDay(SolunarState& s, DateControlHandlers* handlers = nullptr);

/// "Equinox" for 21 and 22 March and September, "Solstice" for 21 and 22 June
/// and December, "" otherwise (fixed calendar days).
[[nodiscard]] std::string_view equinoxOrSolstice(int month, int day);

/// The weekday of the computation date into myweekday, then weakday.
void showWeekday(SolunarState& s);

/// A graph row label: "31/1" day first, "1/31" month first.
void graphRowLabel(FixedText<7>& out, Date d, bool monthFirst);

/// The prediction graph rows for plottedDayCount days from the displayed date.
void fillGraphRows(SolunarState& s, Date start);

/// The whole day computation of the displayed date: year limits, roll-over,
/// then showDisplayedDay.
void datechanged(SolunarState& s, DateControlHandlers* handlers = nullptr);

/// The day computation from the displayed-date text on: "&Today", equinox or
/// solstice, weekday, graph rows, the January table, Moon and prediction,
/// sunrise and sunset, moonrise, moonset and the periods. Leaves the
/// computation date at the day after the displayed date.
void showDisplayedDay(SolunarState& s);

/// The new and full moon table as the main window's activation builds it:
/// for the displayed year, then, in January, for the year before.
void buildActivationPhaseTable(SolunarState& s);

/// The displayed date's Moon: calcmoon for the displayed date, then the phase
/// picture, the prediction tip (when tips are shown), colour and the Moon age.
void showMoonAndPrediction(SolunarState& s);

/// The computations of the main window's activation once its location is in
/// place: the phase table (with the January rule), the graph rows, the Moon
/// and prediction, sunrise and sunset, the lunar distance, then the periods.
void activateDisplayedDay(SolunarState& s);

/// Sets the computation date back to the displayed date and runs lundist, as
/// the date handlers do after the day computation.
void showLunarDistance(SolunarState& s);

/// The displayed date's whole solunar day on a state whose location, zone and
/// date controls are set: the activation's phase table, showDisplayedDay and
/// the lunar distance.
void computeDisplayedDay(SolunarState& s);

}  // namespace moonbite
