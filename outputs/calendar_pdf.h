// The month calendar as a PDF file: one landscape A4 page.
#pragma once

#include <QString>

#include "calendar_page.h"

namespace moonbite {

/// Writes the page to path. The file appears only when the whole page was
/// written (a temporary file renamed at the end); on failure nothing is left
/// and error says why.
bool writeCalendarPdf(SolunarState& s, const CalendarPageInput& in, const QString& path,
                      QString* error);

/// "Moonbite January 2027.pdf"
[[nodiscard]] QString defaultCalendarFileName(int year, int month);

}  // namespace moonbite
