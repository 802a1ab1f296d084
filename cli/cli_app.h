// moonbite-cli: the solunar computations on the command line.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "date.h"

namespace moonbite::cli {

/// Exit status for bad input (options, coordinates, dates, stored values,
/// files and folders that cannot be used).
inline constexpr int kUsageError = 2;
/// Exit status when the tool itself fails: the output cannot be written, or
/// an unforeseen error (out of memory, anything thrown).
inline constexpr int kFailure = 1;

/// A latitude or longitude as people write it: "33:52S" / "151:13E" (degrees,
/// minutes, hemisphere), "24°33'N", "24 33.3 N", or signed decimal degrees,
/// north and east positive. Returns the decimal degrees, or an error text.
/// Latitudes keep to 89:59, longitudes to 179:59, as the settings frame does.
struct Coordinate {
    double degrees = 0;
    std::string error;
};
[[nodiscard]] Coordinate parseLatitude(std::string_view text);
[[nodiscard]] Coordinate parseLongitude(std::string_view text);

/// "YYYY-MM-DD" within 1901..2200, or nothing.
[[nodiscard]] std::optional<Date> parseIsoDate(std::string_view text);

/// Runs the tool with its arguments (argv[0] is the program name); writes to
/// out and err and returns the exit status. today stands for the clock.
/// Never throws: anything thrown inside is one line on err and kFailure, as
/// is an output stream that has failed by the end.
int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err, Date today);

}  // namespace moonbite::cli
