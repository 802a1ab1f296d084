// The printed month calendar: one landscape page with a title, the month, a
// seven-column week grid of day cells, a legend, the location and a footer.
#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

#include "month_calendar.h"
#include "page_printer.h"
#include "place_tides.h"

class QPaintDevice;

namespace moonbite {

/// The project's home page, printed in the page's footer.
inline const QString kProjectWebAddress = QStringLiteral("https://moonbite.app");
/// The font the page is printed in.
inline const QString kCalendarFont = QStringLiteral("DejaVu Sans");

struct CalendarPageInput {
    int year = 2000;
    int month = 1;  ///< 1..12
    MonthCellOptions options;
    QString locationLine;  ///< "Location: Lat: 33. 52' S   Lon: ..."
    /// Each day's highs and lows in its cell, from tidesOf (the day's tides by
    /// the place's clock). Without tidesOf the page has no tides at all.
    bool tides = false;
    std::function<tides::DayTides(const SolunarState&, Date)> tidesOf;
    /// Printed once with the legend when the tides are: the station, the
    /// datum the heights are above and where the predictions come from.
    QString tideLine;
};

/// A day's highs and lows as its cell prints them, perLine to a line (1 or
/// 2): "H 05:12 AM 1.83  L 11:30 AM 0.21" (heights in metres, the clock with
/// the state's designators). The page puts two to a line unless the
/// designators are too long for that.
[[nodiscard]] QStringList tideCellLines(const tides::DayTides& day,
                                        const ClockDesignators& designators, int perLine = 2);
/// The data legend's key to those lines.
inline const QString kTideLegendKey = QStringLiteral("H / L");
inline const QString kTideLegend = QStringLiteral("=   High & Low Tide, metres");

/// The note printed in the cell of a day the clocks change: clockChange +1
/// (forward) or -1 (back), as MonthCell gives it.
[[nodiscard]] QString clockChangeMark(int clockChange);
/// The legend's explanation of that note.
inline const QString kClockChangeLegend = QStringLiteral("=   Clocks change this day");

/// "Location: Lat: ", degrees, ". ", minutes, "' ", N/S, "   Lon: ", ..., "  Gmt: ", the
/// zone, " hrs  ", the zone's name; the numbers as stored.
[[nodiscard]] QString calendarLocationLine(const QString& latdeg, const QString& latmin,
                                           const QString& NorS, const QString& londeg,
                                           const QString& lonmin, const QString& WorE,
                                           const QString& zone, const QString& zoneName);

/// The offset a month is printed in for the location line: fixedZone without
/// a zone followed by date, else the month's own offset ("10"), or each in
/// turn when the clocks change during it ("11 to 10").
[[nodiscard]] QString monthZoneText(const SolunarState& s, int year, int month,
                                    const QString& fixedZone);

/// Draws the page in twips on the printer model, computing every cell on the
/// state in date order (the state is left at the last day printed).
void drawCalendarPage(SolunarState& s, const CalendarPageInput& in, PagePrinter& p);

/// Renders the page on a paint device (a printer, a PDF, an image): printable
/// is the area to fill in device units, dpi the device's resolution. The page
/// is scaled down, never up, so that everything fits.
void renderCalendarPage(SolunarState& s, const CalendarPageInput& in, QPaintDevice& device,
                        const QRectF& printable, double dpi);

}  // namespace moonbite
