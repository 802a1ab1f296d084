// The month calendar as a PDF file: one landscape A4 page.
#pragma once

#include <QString>

#include "calendar_page.h"

namespace moonbite {

/// Why path must not be written, or an empty text when it may: the page goes
/// only to a new path or over a regular file (a link is judged by what it
/// points at). A folder, device, named pipe or socket there is refused, since
/// the save would replace it with a regular file.
[[nodiscard]] QString pdfTargetProblem(const QString& path);

/// Writes the page to path. The file appears only when the whole page was
/// written (a temporary file renamed at the end); on failure nothing is left
/// and error says why. A target that pdfTargetProblem refuses is left as it is.
bool writeCalendarPdf(SolunarState& s, const CalendarPageInput& in, const QString& path,
                      QString* error);

/// "Moonbite January 2027.pdf"
[[nodiscard]] QString defaultCalendarFileName(int year, int month);

}  // namespace moonbite
